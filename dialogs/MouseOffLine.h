#pragma once

#include "dialogs/DialogFrame.h"

#include <atomic>

// Tells that the mouse is not answering. Closes by itself on
// SigCloseOffOnline() once the mouse answers again.
class MouseOffLine final : public dialogs::DialogFrame
{
    Q_OBJECT

public:
    explicit MouseOffLine(QWidget* parent = nullptr);
    ~MouseOffLine() override;

    // Opens the notice over `reference` with (dx, dy) and waits until it
    // closes. While one notice is already open, that one only takes the
    // texts of the current OffLineNoticeIndex and nothing else opens: every
    // failed setter step reports offline, and a stack of identical notices
    // would each need its own click. Returns whether a notice was opened.
    static bool showOnce(const QWidget* reference, int dx, int dy);
    // The notice open now, or null.
    static MouseOffLine* openNotice();

protected:
    void applyLanguage(const shell::LanguageElement& texts) override;

private:
    static MouseOffLine* s_open;
};
