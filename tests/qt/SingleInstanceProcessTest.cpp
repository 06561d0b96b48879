// Two real copies of the desktop program: the second brings the first forward and ends.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QThread>
#include <filesystem>
#include <map>

#include "support/TempRoot.h"

namespace {

using qv::test::ReadBytes;
using qv::test::TempRoot;

class DriverProcess {
public:
    explicit DriverProcess(const TempRoot& root) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QUORVEX_ROOT"), QString::fromStdString(root.String()));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
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

}  // namespace
