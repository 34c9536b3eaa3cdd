#pragma once

#include "dialogs/DialogFrame.h"

#include <QString>

class QProgressBar;
class QShortcut;

// Shows a firmware update's progress and then its end: a percentage line and
// a bar while it runs, the failure or success text with an OK button after.
// Closing only hides it, so one instance can serve several updates.
class Progress final : public dialogs::DialogFrame
{
    Q_OBJECT

public:
    // What SlotProgress is told.
    enum Step { Running = 0, Failed = 1, Succeeded = 2, HideOk = 3, Reset = 4 };

    explicit Progress(QWidget* parent = nullptr);

    // "<progress text>: <n>%"
    QString progressLine(int percent) const;

public slots:
    void SlotCloseProgress();
    void SlotProgress(int schedue, int Discrib);
    void on_NewHong_clicked();

protected:
    void applyLanguage(const shell::LanguageElement& texts) override;
    void okClicked() override;
    void closeClicked() override;

private:
    void showEnd(const QString& text);
    void resetToStart();
    void setOkKeysEnabled(bool enabled);

    QProgressBar* m_bar = nullptr;
    QShortcut* m_returnKey = nullptr;
    QShortcut* m_enterKey = nullptr;
    QString m_progressText;
    QString m_failText;
    QString m_successText;
};
