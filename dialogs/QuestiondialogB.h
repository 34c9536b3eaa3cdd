#pragma once

#include "dialogs/DialogFrame.h"

// Tells that the same device is plugged in twice.
class QuestiondialogB final : public dialogs::DialogFrame
{
    Q_OBJECT

public:
    explicit QuestiondialogB(QWidget* parent = nullptr);
};
