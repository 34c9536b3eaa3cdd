#pragma once

#include "dialogs/DialogFrame.h"

// Tells that the last button with the left click cannot be given another function.
class LeftButtonOnly final : public dialogs::DialogFrame
{
    Q_OBJECT

public:
    explicit LeftButtonOnly(QWidget* parent = nullptr);
};
