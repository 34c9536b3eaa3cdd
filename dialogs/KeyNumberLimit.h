#pragma once

#include "dialogs/DialogFrame.h"

// Tells that a recorded macro has reached its largest number of events.
class KeyNumberLimit final : public dialogs::DialogFrame
{
    Q_OBJECT

public:
    explicit KeyNumberLimit(QWidget* parent = nullptr);
};
