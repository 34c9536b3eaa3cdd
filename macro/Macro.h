#pragma once

#include <QString>
#include <QWidget>

// The macro page. So far it carries what the rest of the program needs of it:
// leaving the device ends a recording.
class Macro final : public QWidget
{
    Q_OBJECT

public:
    explicit Macro(QWidget* parent = nullptr);

    void SlotSetMacroPage();
};

// True while the macro page records keys. GUI thread.
extern bool MacroRecording;

// Names of the five mouse-button events as the macro page shows them; empty
// until the page has loaded its texts. GUI thread.
extern QString LeftButtonName;
extern QString RightButtonName;
extern QString MiddleButtonName;
extern QString ForwardButtonName;
extern QString BackButtonName;
