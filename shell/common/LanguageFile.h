#pragma once

#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>

#include <iterator>

class QByteArray;
class QWidget;

class QComboBox;

namespace shell {

// The texts of one window's element of a language file, child name -> text,
// in file order. A child given twice reads as its last occurrence, as if
// each had been applied in turn.
class LanguageElement
{
public:
    using Entry = QPair<QString, QString>;

    bool isEmpty() const { return m_entries.isEmpty(); }
    bool contains(const QString& child) const;
    // Text of `child`, or `fallback` when the element has no such child.
    QString text(const QString& child, const QString& fallback = QString()) const;
    // True, with the text in *out, when the child is present.
    bool find(const QString& child, QString* out) const;
    const QVector<Entry>& entries() const { return m_entries; }
    QStringList childNames() const;
    void append(const QString& child, const QString& text) { m_entries.append({child, text}); }

private:
    QVector<Entry> m_entries;
};

// One parsed language file: root "Total", one element per window class,
// one child per text. Only element names and element text are read;
// attributes never are, and a nested element a window does not know is
// skipped with its whole subtree. A child that holds elements is no text and
// is skipped whole too; load() names the file once in a warning.
class LanguageFile
{
public:
    // Program folder + "/Language/<n>-<Name>.xml"; English for any index
    // outside 0..5.
    static QString path(int index);

    // False, with a reason, when the file cannot be opened, its first element
    // is not "Total" ("Not a labels file": no text at all is kept) or its XML
    // breaks off (the texts before the break are kept, as a streaming reader
    // would have applied them).
    bool load(const QString& path, QString* error = nullptr);
    bool loadData(const QByteArray& xml, QString* error = nullptr);

    LanguageElement element(const QString& name) const;
    QStringList elementNames() const;
    bool isEmpty() const { return m_elements.isEmpty(); }
    // Children the last load skipped for holding elements, and the first as "Element/child".
    int skippedTexts() const { return m_skippedTexts; }
    QString firstSkippedText() const { return m_firstSkippedText; }

    // The element `name` of the language `index`, from a copy parsed once per
    // file change and shared by every window (GUI thread). Empty when the
    // file is missing or unreadable: the caller then keeps its texts.
    static LanguageElement cachedElement(int index, const QString& name);
    // The language the user chose (per-user settings), 0 when unset.
    static int currentIndex();

private:
    QVector<QPair<QString, LanguageElement>> m_elements;
    int m_skippedTexts = 0;
    QString m_firstSkippedText;
};

// How a text reaches its widget.
enum class TextRole { Text, ToolTip, ItemText };

// One row of a window's text table: language child -> widget below the
// window, by object name. `item` is the combo-box entry for ItemText.
struct TextBinding
{
    const char* child;
    const char* widget;
    TextRole role = TextRole::Text;
    int item = 0;
};

// setText on labels, buttons, group boxes and line edits; false for a widget
// kind that has no text.
bool setWidgetText(QWidget* widget, const QString& text);

// Fills a language list with every language the program ships, each in its own words (list position
// = language index), each entry in the box's own font, whose families cover every script of the
// names. Measured in the list's plain font, each script's name would load a fallback font of its
// own (close to a megabyte of memory for each CJK face). The list, which the box must already
// have, gets the skin's dark scroll bar, and its selection stays under the pointer as the wheel
// turns.
void fillLanguageList(QComboBox* box);

// Applies every row whose child the element holds; children without a row
// and rows whose widget is missing change nothing. Returns the count applied.
int applyTexts(QWidget* root, const LanguageElement& texts, const TextBinding* rows, int count);

template <std::size_t N>
int applyTexts(QWidget* root, const LanguageElement& texts, const TextBinding (&rows)[N])
{
    return applyTexts(root, texts, rows, int(N));
}

} // namespace shell
