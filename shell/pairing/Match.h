#pragma once

#include "core/DeviceAllInfo.h"
#include "dialogs/DialogFrame.h"

class QTextEdit;
class QTimer;
class QToolButton;

// Pairs the mouse with its receiver. The opener constructs it on its stack,
// calls InitPairInfo() and runs it with exec(). It cannot be closed while a
// pairing attempt runs. Its card, close button, texts and placement are the
// shared dialog frame's, with the pictures of "/Picture/Setting/".
class Match final : public dialogs::DialogFrame
{
    Q_OBJECT

public:
    explicit Match(QWidget* parent = nullptr);
    ~Match() override;

    // Chooses the device to pair (the open device on the frame, the chosen
    // tile, or the first tile) and resets the dialog; before exec().
    void InitPairInfo();
    // Opens the pairing connection (once) and asks the receiver to pair.
    void EnterPair();
    // Pairing report callback (library thread).
    static void OnPairReport(const unsigned char* header, int headerLen, const unsigned char* data, int dataLen);

    bool PairAllowed() const { return m_pairAllowed; }
    const DeviceAllInfo& PairDevice() const { return m_pairDevice; }

public slots:
    void on_MatchButton_clicked();
    void SlotStopTimer();
    void SlotButtonenable(int index);
    void WindowClosedSet();
    void onPairTimeupDestroy();
    void onUSBTimeupDestroy();
    void onTextTimeupDestroy();

protected:
    // Escape behaves like the close button: ignored while pairing runs.
    void reject() override;
    void closeClicked() override;
    void applyLanguage(const shell::LanguageElement& texts) override;

private:
    void setupForm();
    void setupStyles();
    void showButton(const QString& text, const char* image);
    void pairingFailed();
    void restoreMainPage();
    void giveLinkBack();

    QString m_buttonColour;
    QString m_currentPath;      // the open device when the dialog was made
    DeviceAllInfo m_pairDevice;
    quint8 m_cid = 0;
    bool m_pairAllowed = false;
    bool m_fromFrame = false;
    bool m_closing = false;
    bool m_tookLink = false;  // the pairing connection replaced the device link

    QString m_idleText;
    QString m_matchingText;
    QString m_failText;
    QString m_successText;

    QToolButton* m_matchButton = nullptr;
    QTextEdit* m_textEdit = nullptr;
    QTimer* m_pairTimer = nullptr;
    QTimer* m_usbTimer = nullptr;
    QTimer* m_textTimer = nullptr;
};
