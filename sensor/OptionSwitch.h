#pragma once

#include <QFrame>

class QLabel;
class QToolButton;

namespace sensor {

// What tells the on/off widgets apart.
struct SwitchRow
{
    const char* frame;        // frame object name
    const char* toggle;       // the switch: the class name + "_2"
    const char* caption;      // caption text of the form
    bool (*setter)(quint8);   // device setter of the option's byte
    bool captionFirst;        // the B forms: caption left, switch right
};

// One on/off option of the sensor: a two-state switch and its caption. A
// click sends the new state at once; nothing set from code is sent.
class OptionSwitch : public QFrame
{
    Q_OBJECT

public:
    ~OptionSwitch() override;

    // Shows a state without sending it.
    void SetChecked(bool checked);
    void SetLabelText(const QString& text);
    // The tool tip belongs to the caption, so it explains the option
    // without covering the switch.
    void SetToolTipText(const QString& text);

protected:
    OptionSwitch(const SwitchRow& row, QWidget* parent);

    QToolButton* toggle() const { return m_toggle; }
    // The click handler of every form. The switch keeps its new look also
    // when nothing could be sent: the offline notice tells the user why.
    void sendState(bool checked);

private:
    void buildForm();

    SwitchRow m_row;
    QToolButton* m_toggle = nullptr;
    QLabel* m_caption = nullptr;
    QString m_folder;
};

} // namespace sensor
