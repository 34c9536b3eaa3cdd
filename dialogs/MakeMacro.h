#pragma once

#include "dialogs/DialogFrame.h"

// Asks for a macro to be created before a button can carry one.
class MakeMacro final : public dialogs::DialogFrame
{
    Q_OBJECT

public:
    explicit MakeMacro(QWidget* parent = nullptr);
};
