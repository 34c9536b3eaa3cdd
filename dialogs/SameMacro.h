#pragma once

#include "dialogs/DialogFrame.h"

// Refuses a macro name that the macro list already holds.
class SameMacro final : public dialogs::DialogFrame
{
    Q_OBJECT

public:
    explicit SameMacro(QWidget* parent = nullptr);
};
