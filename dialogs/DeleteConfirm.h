#pragma once

#include "dialogs/DialogFrame.h"

// Asks before a macro is deleted; isConfirmed() after OK. No Cancel button:
// the close cross says no.
class DeleteConfirm final : public dialogs::DialogFrame
{
    Q_OBJECT

public:
    explicit DeleteConfirm(QWidget* parent = nullptr);
};
