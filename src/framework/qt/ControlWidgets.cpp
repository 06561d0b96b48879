#include "framework/qt/ControlWidgets.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>

#include "framework/Resources.h"
#include "framework/qt/ListAdapter.h"
#include "framework/qt/QtText.h"
#include "framework/qt/ShadedButtonWidget.h"
#include "framework/qt/WebLinkWidget.h"

namespace qv {
namespace {

bool Has(const ControlState& c, unsigned bit) {
    return (c.source->style & bit) != 0;
}

// Edit controls hold CR LF line breaks, as the Windows edit control does.
std::string ToCrLf(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) {
            out += '\r';
        }
        out += text[i];
    }
    return out;
}

QString FromCrLf(const std::string& text) {
    QString q = ToQt(text);
    q.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return q;
}

QPixmap Picture(const char* type, int id) {
    const std::string* bytes = FindResource(type, id);
    QPixmap pixmap;
    if (bytes != nullptr) {
        pixmap.loadFromData(reinterpret_cast<const uchar*>(bytes->data()),
                            static_cast<uint>(bytes->size()));
    }
    return pixmap;
}

}  // namespace

ControlWidgets::ControlWidgets(ControlSet& controls, QWidget* parent, const DialogUnits& units,
                               Events events)
    : QObject(parent), controls(controls), units(units), events(std::move(events)) {
    QWidget* previous = nullptr;
    for (ControlState& c : controls.All()) {
        QWidget* w = Make(c, parent);
        w->setGeometry(units.X(c.source->x), units.Y(c.source->y), units.X(c.source->cx),
                       units.Y(c.source->cy));
        Apply(c, w);
        if (Has(c, cs::kTabStop)) {
            w->setFocusPolicy(Qt::StrongFocus);
            if (previous != nullptr) {
                QWidget::setTabOrder(previous, w);
            }
            previous = w;
        } else if (c.kind != ControlKind::Edit) {
            w->setFocusPolicy(Qt::NoFocus);
        }
        if (c.id != -1) {
            byId[c.id] = w;
            w->setObjectName(QStringLiteral("control%1").arg(c.id));
        }
    }
    controls.SetObserver(this);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        int id = IdOf(now);
        if (id != 0 && !applying) {
            applying = true;
            this->controls.SetFocus(id);
            applying = false;
        }
    });
}

ControlWidgets::~ControlWidgets() {
    controls.SetObserver(nullptr);
}

QWidget* ControlWidgets::Widget(int id) const {
    auto it = byId.find(id);
    return it == byId.end() ? nullptr : it->second.data();
}

int ControlWidgets::IdOf(const QWidget* widget) const {
    for (const QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
        for (const auto& [id, candidate] : byId) {
            if (candidate == w) {
                return id;
            }
        }
    }
    return 0;
}

QWidget* ControlWidgets::Make(ControlState& c, QWidget* parent) {
    const int id = c.id;
    if (c.kind == ControlKind::PushButton && Has(c, cs::kOwnerDraw)) {
        return new ShadedButtonWidget(c, parent, [this, id] { events.clicked(id); });
    }
    if (c.kind == ControlKind::Label && Has(c, cs::kWebLink)) {
        return new WebLinkWidget(c, parent);
    }
    switch (c.kind) {
        case ControlKind::PushButton: {
            auto* b = new QPushButton(parent);
            b->setAutoDefault(false);
            b->setDefault(Has(c, cs::kDefault));
            connect(b, &QPushButton::clicked, this, [this, id] { events.clicked(id); });
            return b;
        }
        case ControlKind::CheckBox: {
            auto* b = new QCheckBox(parent);
            // The controls hold the truth: undo Qt's own toggle, then let the program decide.
            connect(b, &QCheckBox::clicked, this, [this, b, id] {
                applying = true;
                b->setChecked(this->controls.Checked(id) != 0);
                applying = false;
                events.clicked(id);
            });
            return b;
        }
        case ControlKind::Edit: {
            if (Has(c, cs::kMultiline)) {
                auto* e = new QPlainTextEdit(parent);
                e->setLineWrapMode(Has(c, cs::kAutoHScroll) ? QPlainTextEdit::NoWrap
                                                            : QPlainTextEdit::WidgetWidth);
                e->setTabChangesFocus(true);
                connect(e, &QPlainTextEdit::textChanged, this, [this, e, id] {
                    if (!applying) {
                        if (ControlState* s = this->controls.Find(id)) {
                            s->text = ToCrLf(FromQt(e->toPlainText()));
                        }
                    }
                });
                return e;
            }
            auto* e = new QLineEdit(parent);
            if (Has(c, cs::kPassword)) {
                e->setEchoMode(QLineEdit::Password);
            }
            connect(e, &QLineEdit::textEdited, this, [this, id](const QString& text) {
                if (ControlState* s = this->controls.Find(id)) {
                    s->text = FromQt(text);
                }
            });
            return e;
        }
        case ControlKind::ListBox: {
            auto* v = new QListView(parent);
            auto* adapter = new ListAdapter(*c.list, Has(c, cs::kUseTabStops), v);
            adapters.push_back(adapter);
            v->setModel(adapter);
            v->setUniformItemSizes(true);
            v->setEditTriggers(QAbstractItemView::NoEditTriggers);
            v->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
            v->setVerticalScrollBarPolicy(Has(c, cs::kVScroll) ? Qt::ScrollBarAlwaysOn
                                                               : Qt::ScrollBarAsNeeded);
            ListModel* list = c.list.get();
            if (Has(c, cs::kNoSelect)) {
                v->setSelectionMode(QAbstractItemView::NoSelection);
            } else {
                v->setSelectionMode(QAbstractItemView::SingleSelection);
                connect(v->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
                        [this, list, adapter](const QModelIndex& now) {
                            if (!applying && !adapter->ChangingRows()) {
                                applying = true;
                                list->Select(now.isValid() ? now.row() : ListModel::kNoSelection);
                                applying = false;
                            }
                        });
                // Ctrl+click takes the highlight off a line without moving the current row:
                // the model follows, so no line is removed that is not shown selected.
                connect(v->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                        [this, v, list, adapter] {
                            if (!applying && !adapter->ChangingRows() &&
                                !v->selectionModel()->hasSelection() &&
                                list->Selected() != ListModel::kNoSelection) {
                                applying = true;
                                list->Select(ListModel::kNoSelection);
                                v->selectionModel()->clear();
                                applying = false;
                            }
                        });
                adapter->onSelectionChanged = [this, v, adapter](int row) {
                    if (applying) {
                        return;
                    }
                    applying = true;
                    if (row < 0) {
                        // Both: a current row left behind would swallow the next click on it.
                        v->selectionModel()->clear();
                    } else {
                        v->setCurrentIndex(adapter->index(row));
                    }
                    applying = false;
                };
            }
            connect(v, &QListView::doubleClicked, this, [this, id](const QModelIndex& index) {
                events.doubleClicked(id, index.row());
            });
            return v;
        }
        case ControlKind::Picture: {
            auto* l = new QLabel(parent);
            l->setPixmap(Picture("BITMAP", c.source->resource));
            l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            if (Has(c, cs::kSunken)) {
                l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
            }
            return l;
        }
        case ControlKind::Icon: {
            auto* l = new QLabel(parent);
            l->setPixmap(Picture("ICON", c.source->resource));
            return l;
        }
        case ControlKind::Frame: {
            auto* f = new QFrame(parent);
            f->setFrameStyle(QFrame::Box | QFrame::Sunken);
            f->lower();
            return f;
        }
        case ControlKind::Rule: {
            auto* f = new QFrame(parent);
            f->setFrameStyle(QFrame::Box | QFrame::Plain);
            f->setStyleSheet(QStringLiteral("color: black; background: black;"));
            return f;
        }
        case ControlKind::Label:
        default: {
            auto* l = new QLabel(parent);
            l->setTextFormat(Qt::PlainText);
            l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            if (Has(c, cs::kSunken)) {
                l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
                l->setWordWrap(true);
            }
            return l;
        }
    }
}

void ControlWidgets::Apply(ControlState& c, QWidget* w) {
    applying = true;
    w->setEnabled(c.enabled);
    w->setVisible(c.visible);
    if (auto* bound = dynamic_cast<BoundWidget*>(w)) {
        bound->Sync(c);
    } else if (auto* b = qobject_cast<QPushButton*>(w)) {
        b->setText(ToQt(c.text));
    } else if (auto* b = qobject_cast<QCheckBox*>(w)) {
        b->setText(ToQt(c.text));
        b->setChecked(c.checked != 0);
    } else if (auto* e = qobject_cast<QLineEdit*>(w)) {
        if (FromQt(e->text()) != c.text) {
            e->setText(ToQt(c.text));
        }
    } else if (auto* e = qobject_cast<QPlainTextEdit*>(w)) {
        if (ToCrLf(FromQt(e->toPlainText())) != c.text) {
            e->setPlainText(FromCrLf(c.text));
        }
    } else if (auto* l = qobject_cast<QLabel*>(w)) {
        if (l->pixmap().isNull()) {
            l->setText(FromCrLf(c.text));
        }
    }
    applying = false;
}

void ControlWidgets::ControlChanged(const ControlState& control) {
    ControlState* state = controls.Find(control.id);
    if (QWidget* w = Widget(control.id); w != nullptr && state != nullptr) {
        Apply(*state, w);
        w->update();
    }
}

void ControlWidgets::FocusChanged(int id) {
    if (applying) {
        return;
    }
    if (QWidget* w = Widget(id)) {
        applying = true;
        w->setFocus(Qt::OtherFocusReason);
        applying = false;
    }
}

}  // namespace qv
