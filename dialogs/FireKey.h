#pragma once

#include "dialogs/DialogFrame.h"

class QLabel;
class QSpinBox;

// Asks for a button's rapid fire: the interval between shots (10 to 255) and
// the number of shots (0 to 3; 0 fires while the button is held). After OK,
// Result is true and Interval and Count hold the two values; otherwise they
// keep 10 and 3. The dialog only collects the numbers; it sends nothing.
class FireKey final : public dialogs::DialogFrame
{
    Q_OBJECT

public:
    explicit FireKey(QWidget* parent = nullptr);

    bool Result = false;
    int Interval = 10;
    int Count = 3;

    // Presets of the two fields (clamped to their ranges); the members stay.
    void SetInterval(int interval);
    void SetCount(int count);

public slots:
    void on_NewHong_clicked();
    void on_NewHong_2_clicked();

protected:
    void applyLanguage(const shell::LanguageElement& texts) override;
    void okClicked() override;
    void cancelClicked() override;

private:
    void buildForm();

    QSpinBox* m_count = nullptr;
    QSpinBox* m_time = nullptr;
    QLabel* m_timeCaption = nullptr;
    QLabel* m_note = nullptr;
};
