#pragma once

#include "dialogs/DialogFrame.h"

// Asks whether mouse and receiver are to be paired again; isConfirmed() after OK.
class RePair final : public dialogs::DialogFrame
{
    Q_OBJECT

public:
    explicit RePair(QWidget* parent = nullptr);
};
