// Two real copies of the desktop program: the second brings the first forward and ends.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QThread>
#include <csignal>
#include <filesystem>
#include <map>

#include "support/TempRoot.h"

namespace {

using qv::test::ReadBytes;
using qv::test::TempRoot;

class DriverProcess {
public:
    explicit DriverProcess(const TempRoot& root, bool holdAtDisclaimer = false) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QUORVEX_ROOT"), QString::fromStdString(root.String()));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        if (holdAtDisclaimer) {
            env.insert(QStringLiteral("QUORVEX_DRIVER_HOLD"), QStringLiteral("1"));
        }
        process.setProcessEnvironment(env);
        process.setProcessChannelMode(QProcess::SeparateChannels);
        process.start(QStringLiteral(QUORVEX_TEST_DRIVER), {});
    }
    ~DriverProcess() {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(5000);
        }
    }
    // Waits until the program said `line` on its standard output.
    bool WaitFor(const QByteArray& line, int ms = 20000) {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < ms) {
            output += process.readAllStandardOutput();
            if (output.split('\n').contains(line)) {
                return true;
            }
            if (process.state() == QProcess::NotRunning) {
                return false;
            }
            process.waitForReadyRead(100);
        }
        return false;
    }
    QProcess process;
    QByteArray output;
};

// Every file under the root with its bytes.
std::map<std::string, std::string> Snapshot(const TempRoot& root) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root.Path())) {
        if (entry.is_regular_file()) {
            files[entry.path().string()] = ReadBytes(entry.path());
        }
    }
    return files;
}

TEST(SingleInstanceProcess, SecondStartBringsTheFirstForwardAndTouchesNothing) {
    TempRoot root;
    qv::test::WriteBytes(root / "etc/hosts", "0.0.0.0 a.example\n");
    DriverProcess first(root);
    ASSERT_TRUE(first.WaitFor("ready")) << first.process.readAllStandardError().toStdString();
    auto before = Snapshot(root);

    DriverProcess second(root);
    ASSERT_TRUE(second.process.waitForFinished(20000));
    EXPECT_EQ(second.process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.process.exitCode(), 0);
    EXPECT_FALSE(second.output.contains("ready"));
    EXPECT_TRUE(first.WaitFor("activated"));
    EXPECT_EQ(Snapshot(root), before);

    // A copy that died never blocks the next start.
    first.process.kill();
    ASSERT_TRUE(first.process.waitForFinished(5000));
    DriverProcess third(root);
    EXPECT_TRUE(third.WaitFor("ready"));
}

// The first copy takes the block before its first file: a second copy started while the
// first still shows its disclaimer ends at once and the first copy's files stay as they are.
TEST(SingleInstanceProcess, SecondStartDuringTheDisclaimerEndsAtOnce) {
    TempRoot root;
    qv::test::WriteBytes(root / "etc/hosts", "0.0.0.0 a.example\n");
    DriverProcess first(root, true);
    ASSERT_TRUE(first.WaitFor("disclaimer")) << first.process.readAllStandardError().toStdString();
    auto before = Snapshot(root);

    DriverProcess second(root);
    ASSERT_TRUE(second.process.waitForFinished(20000));
    EXPECT_EQ(second.process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.process.exitCode(), 0);
    second.output += second.process.readAllStandardOutput();
    EXPECT_FALSE(second.output.contains("disclaimer"));
    EXPECT_FALSE(second.output.contains("ready"));
    EXPECT_TRUE(first.WaitFor("activated"));
    EXPECT_EQ(Snapshot(root), before);
}

// A signal ends the program as Exit does: the settings and the log are scrambled again.
TEST(SingleInstanceProcess, TerminationSignalRunsTheTeardown) {
    for (int sig : {SIGTERM, SIGHUP}) {
        TempRoot root;
        qv::test::WriteBytes(root / "etc/hosts", "0.0.0.0 a.example\n");
        DriverProcess program(root);
        ASSERT_TRUE(program.WaitFor("ready")) << sig;
        ASSERT_TRUE(std::filesystem::exists(root / "var/lib/quorvex/Quorvex.ini")) << sig;
        ASSERT_EQ(::kill(static_cast<pid_t>(program.process.processId()), sig), 0);
        ASSERT_TRUE(program.process.waitForFinished(20000)) << sig;
        EXPECT_EQ(program.process.exitStatus(), QProcess::NormalExit) << sig;
        EXPECT_EQ(program.process.exitCode(), 0) << sig;
        EXPECT_TRUE(std::filesystem::exists(root / "var/lib/quorvex/Quorvex.cpt")) << sig;
        EXPECT_TRUE(std::filesystem::exists(root / "var/lib/quorvex/Quorvexlog.cpt")) << sig;
        EXPECT_FALSE(std::filesystem::exists(root / "var/lib/quorvex/Quorvex.ini")) << sig;
        EXPECT_FALSE(std::filesystem::exists(root / "var/lib/quorvex/Quorvexlog.log")) << sig;
    }
}

// A signal during the start-up dialogs ends the program too, without opening the hosts file.
TEST(SingleInstanceProcess, TerminationSignalDuringTheDisclaimer) {
    TempRoot root;
    const std::string hosts = "# notes\n0.0.0.0 a.example\n";
    qv::test::WriteBytes(root / "etc/hosts", hosts);
    DriverProcess program(root, true);
    ASSERT_TRUE(program.WaitFor("disclaimer"));
    ASSERT_EQ(::kill(static_cast<pid_t>(program.process.processId()), SIGTERM), 0);
    ASSERT_TRUE(program.process.waitForFinished(20000));
    EXPECT_EQ(program.process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(ReadBytes(root / "etc/hosts"), hosts);
    EXPECT_FALSE(std::filesystem::exists(root / "etc/hosts.swp"));
    EXPECT_FALSE(std::filesystem::exists(root / "var/lib/quorvex/Quorvex.ini"));
    EXPECT_FALSE(std::filesystem::exists(root / "var/lib/quorvex/Quorvexlog.log"));
}

}  // namespace
