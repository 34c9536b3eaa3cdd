#pragma once

#include "shell/common/LanguageFile.h"

#include <QDialog>
#include <QRect>

class QFrame;
class QLabel;
class QToolButton;

namespace dialogs {

// One widget of the frame: object name, place inside the frame, built-in text.
// A null name means the dialog has no such widget.
struct FrameWidget
{
    const char* name = nullptr;
    QRect rect;
    const char* text = "";
};

enum FrameOption : unsigned {
    NoOption = 0,
    Confirmation = 1u << 0,      // OK sets the answer to true, Cancel/Close to false
    ReturnAnswersOk = 1u << 1,   // Return and keypad Enter click OK
    PlainOkButton = 1u << 2,     // OK/Cancel keep Qt's look (no "ButtonColor" skin)
    CapitalFButtons = 1u << 3,   // button images "ConFirm.png"/"ConFirmClick.png"
    LabelAlignLeft = 1u << 4,    // message aligned left (else centred)
    LabelAlignBottom = 1u << 5,  // message sits at the bottom of its box
    LockDialogSize = 1u << 6,    // minimum and maximum size on the dialog too
};

// Everything that differs between the notices of the family.
struct FrameLayout
{
    const char* dialog;   // object name of the dialog (its class name)
    const char* frame;    // object name of the frame, also its style selector
    const char* element;  // language element
    FrameWidget label;
    FrameWidget close;
    FrameWidget ok;
    FrameWidget cancel;
    unsigned options = NoOption;
    QSize size = QSize(300, 140);
    const char* skin = "WarningDialog";  // picture folder below "/Picture/"
};

// The frameless frame every notice, confirmation and small entry dialog is
// built on: fixed-size card whose look comes from its picture folder
// ("/Picture/WarningDialog/" unless the layout names another) and the "Option"
// colours of Config.ini, texts from its language element,
// placed over a reference widget and run with exec().
//
// A derived class passes its FrameLayout, adds its own widgets onto frame() and
// ends its constructor with loadCurrentLanguage() (a base constructor cannot
// reach the derived applyLanguage()). The base makes the label, close, OK and
// Cancel buttons itself and connects them; a .ui form of a derived class must
// not contain them again.
//
// Escape rejects through QDialog: no handler runs and the answer stays false.
// close() on a shown dialog rejects it too, so exec() returns 0 whatever
// button was used: openers read isConfirmed() (or their dialog's value).
class DialogFrame : public QDialog
{
    Q_OBJECT

public:
    ~DialogFrame() override;

    // Window flags of every dialog of the family (sub-window, no window
    // manager, frameless, system menu, minimise hint).
    static constexpr int kWindowFlags = 0x6C12;

    // Top-left corner that centres a box of `box` size over a reference
    // rectangle (global top-left `refTopLeft`, size `refSize`), shifted by
    // (dx, dy). Halves truncate toward zero; the result is not clamped to the
    // screen.
    static QPoint placement(const QPoint& refTopLeft, const QSize& refSize, const QSize& box, int dx, int dy);
    // Moves this dialog by placement() over `reference`, using its own size.
    void placeOver(const QWidget* reference, int dx, int dy);
    // The same, centring a box of another size (an opener that centres a
    // smaller box than the dialog).
    void placeOver(const QWidget* reference, const QSize& box, int dx, int dy);

    // The answer of a confirmation: true only after OK.
    bool isConfirmed() const { return m_confirmed; }

    QFrame* frame() const { return m_frame; }
    QLabel* label() const { return m_label; }
    QToolButton* closeButton() const { return m_close; }
    QToolButton* okButton() const { return m_ok; }
    QToolButton* cancelButton() const { return m_cancel; }
    const QString& skinFolder() const { return m_skinFolder; }
    const char* languageElement() const { return m_layout.element; }

    // "QToolButton{...}" style of an OK/Cancel face in the skin folder, with
    // the "ButtonColor" text colour; shared by the entry dialogs.
    QString buttonStyle(bool capitalF = false) const;
    // Entry-field style: text colour "LinEditColor" on the dark card colour.
    QString lineEditStyle(const char* widgetClass = "QLineEdit") const;

    // The interface font at `points`: the Windows family of the forms first,
    // then families that render all six languages here.
    static QFont dialogFont(int points = 11);

public slots:
    // Reads the dialog's element of language `index` and applies its texts;
    // a missing file or element leaves every text as it is.
    void SlotChangeLanguage(int index);
    void on_CloseButton_clicked();

protected:
    DialogFrame(const FrameLayout& layout, QWidget* parent);

    // Applies the dialog's texts. The default puts the children named like
    // the label and the buttons into them; dialogs that keep texts for later
    // or choose between children override it.
    virtual void applyLanguage(const shell::LanguageElement& texts);
    // Button handlers. Defaults: OK answers true, Cancel and Close answer
    // false; each then closes the dialog.
    virtual void okClicked();
    virtual void cancelClicked();
    virtual void closeClicked();

    // Reads the language the user chose and applies it; the last step of a
    // derived constructor.
    void loadCurrentLanguage();
    void setConfirmed(bool confirmed) { m_confirmed = confirmed; }
    // Keeps the keyboard focus off the frame's buttons. In a dialog that
    // captures keys, Tab is a key to capture: it must not move the focus onto
    // a button that the next captured Space would press.
    void keepButtonsOutOfFocus();

private:
    void buildWidgets();
    void applyStyles();
    QToolButton* makeButton(const FrameWidget& layout);
    void connectButtons();

    FrameLayout m_layout;
    bool m_confirmed = false;
    QFrame* m_frame = nullptr;
    QLabel* m_label = nullptr;
    QToolButton* m_close = nullptr;
    QToolButton* m_ok = nullptr;
    QToolButton* m_cancel = nullptr;
    QString m_skinFolder;
};

} // namespace dialogs
