#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <map>

#include "framework/ControlSet.h"

namespace qv {

class ListAdapter;

// Dialog units to pixels, the Windows way: x * baseX / 4, y * baseY / 8.
struct DialogUnits {
    int baseX = 6;
    int baseY = 13;
    int X(int du) const { return du * baseX / 4; }
    int Y(int du) const { return du * baseY / 8; }
};

// The widgets of one dialog or form, made from its template and kept in step with its
// controls: changes made by the program reach the widgets, user input reaches the controls.
class ControlWidgets : public QObject, public ControlObserver {
public:
    struct Events {
        std::function<void(int id)> clicked;
        std::function<void(int id, int row)> doubleClicked;
    };

    ControlWidgets(ControlSet& controls, QWidget* parent, const DialogUnits& units, Events events);
    ~ControlWidgets() override;

    QWidget* Widget(int id) const;
    // The id of `widget`, or 0 when it is none of ours.
    int IdOf(const QWidget* widget) const;
    const DialogUnits& Units() const { return units; }

    void ControlChanged(const ControlState& control) override;
    void FocusChanged(int id) override;

private:
    QWidget* Make(ControlState& control, QWidget* parent);
    void Apply(ControlState& control, QWidget* widget);

    ControlSet& controls;
    DialogUnits units;
    Events events;
    std::map<int, QPointer<QWidget>> byId;
    std::vector<ListAdapter*> adapters;
    bool applying = false;
};

}  // namespace qv
