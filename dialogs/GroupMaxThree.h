#pragma once

#include "dialogs/DialogFrame.h"

// Refuses a key combination of more than three keys. Its opener places it on
// its own corner, so it covers the combination dialog exactly.
class GroupMaxThree final : public dialogs::DialogFrame
{
    Q_OBJECT

public:
    explicit GroupMaxThree(QWidget* parent = nullptr);
};
