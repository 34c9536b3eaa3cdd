#pragma once

#include "dialogs/DialogFrame.h"

// Asks whether the mouse's settings are to be restored to their defaults;
// isConfirmed() after OK. OK also answers Return and Enter.
class ContainReset final : public dialogs::DialogFrame
{
    Q_OBJECT

public:
    explicit ContainReset(QWidget* parent = nullptr);

    // Replaces the question (the main window asks about a new mouse instead).
    void SetText(QString text);
};
