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
