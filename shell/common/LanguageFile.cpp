#include "shell/common/LanguageFile.h"

#include "core/AppPaths.h"
#include "core/FileIo.h"
#include "core/MacroIni.h"
#include "shell/common/ButtonStyle.h"
#include "shell/common/LanguageNames.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QGroupBox>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QLoggingCategory>
#include <QMutex>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>
#include <QXmlStreamReader>

Q_LOGGING_CATEGORY(lcLanguage, "app.shell.language")

namespace shell {

namespace {

// Language files are a few tens of kilobytes and hold a few dozen windows of at most a few
// hundred texts, none with attributes; anything far larger is not one. The XML reader checks an
// element's attributes against each other, so their number is bounded before it sees them.
constexpr qint64 kMaxLanguageFileBytes = 8 * 1024 * 1024;
constexpr int kMaxElements = 4096;  // windows, and texts of one window
constexpr int kMaxAttributes = 32;

// Skips from `at` past the first `end`; false when the data ends first.
bool skipPast(const QByteArray& data, int* at, const char* end)
{
    const int found = data.indexOf(end, *at);
    if (found < 0)
        return false;
    *at = found + int(qstrlen(end));
    return true;
}

// Counts the attributes of each tag in one pass over the bytes. Text cannot hold a raw
// "<", so every "<" opens markup; comments, CDATA and processing instructions are stepped over.
bool withinShape(const QByteArray& data, QString* error)
{
    for (int at = data.indexOf('<'); at >= 0; at = data.indexOf('<', at)) {
        bool closed = true;
        // A QByteArray's data always ends in a NUL, so comparing a prefix never reads past it.
        const char* markup = data.constData() + at;
        if (qstrncmp(markup, "<!--", 4) == 0)
            closed = skipPast(data, &at, "-->");
        else if (qstrncmp(markup, "<![CDATA[", 9) == 0)
            closed = skipPast(data, &at, "]]>");
        else if (qstrncmp(markup, "<?", 2) == 0)
            closed = skipPast(data, &at, "?>");
        else {
            int attributes = 0;
            char quote = 0;
            for (++at; at < data.size() && (quote || data.at(at) != '>'); ++at) {
                const char c = data.at(at);
                if (quote)
                    quote = c == quote ? 0 : quote;
                else if (c == '"' || c == '\'')
                    quote = c;
                else if (c == '=')
                    ++attributes;
            }
            if (attributes > kMaxAttributes) {
                *error = QStringLiteral("an element holds more than %1 attributes").arg(kMaxAttributes);
                return false;
            }
        }
        if (!closed)
            return true;  // left for the XML reader to report
    }
    return true;
}

// Reads one child's text up to its end element. A child that holds elements
// of its own is no text: it is skipped whole, without recursion (a file
// nested a hundred thousand levels deep must not exhaust the stack).
bool readChildText(QXmlStreamReader& xml, QString* text)
{
    bool nested = false;
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::EndElement)
            break;
        if (token == QXmlStreamReader::StartElement) {
            nested = true;
            xml.skipCurrentElement();
        } else if (token == QXmlStreamReader::Characters || token == QXmlStreamReader::EntityReference) {
            *text += xml.text();
        }
    }
    return !nested;
}

LanguageElement readClassElement(QXmlStreamReader& xml, const QString& element, int* skipped, QString* firstSkipped)
{
    LanguageElement texts;
    while (xml.readNextStartElement()) {
        if (texts.entries().size() >= kMaxElements) {
            xml.raiseError(QStringLiteral("%1 holds more than %2 texts").arg(element).arg(kMaxElements));
            break;
        }
        const QString child = xml.name().toString();
        QString text;
        const bool plain = readChildText(xml, &text);
        if (xml.hasError())
            break;
        if (plain)
            texts.append(child, text);
        else if ((*skipped)++ == 0)
            *firstSkipped = element + QLatin1Char('/') + child;
    }
    return texts;
}

} // namespace

bool LanguageElement::contains(const QString& child) const
{
    return find(child, nullptr);
}

QString LanguageElement::text(const QString& child, const QString& fallback) const
{
    QString out;
    return find(child, &out) ? out : fallback;
}

bool LanguageElement::find(const QString& child, QString* out) const
{
    for (int i = m_entries.size() - 1; i >= 0; --i) {
        if (m_entries.at(i).first == child) {
            if (out)
                *out = m_entries.at(i).second;
            return true;
        }
    }
    return false;
}

QStringList LanguageElement::childNames() const
{
    QStringList names;
    for (const Entry& e : m_entries)
        names << e.first;
    return names;
}

QString LanguageFile::path(int index)
{
    return AppDir() + QString::fromUtf8(languageName(index).file);
}

bool LanguageFile::load(const QString& path, QString* error)
{
    m_elements.clear();
    m_skippedTexts = 0;
    m_firstSkippedText.clear();
    QByteArray data;
    QString why;
    if (!core::readFileBounded(path, kMaxLanguageFileBytes, &data, &why)) {
        // The caller names the file; the cause is what is left after the path.
        if (error)
            *error = why.startsWith(path + QLatin1String(": ")) ? why.mid(path.size() + 2) : why;
        return false;
    }
    const bool loaded = loadData(data, error);
    if (m_skippedTexts > 0)
        qCWarning(lcLanguage, "language file %s: %d text(s) holding nested elements skipped, the first %s",
                  qPrintable(path), m_skippedTexts, qPrintable(m_firstSkippedText));
    return loaded;
}

bool LanguageFile::loadData(const QByteArray& data, QString* error)
{
    m_elements.clear();
    m_skippedTexts = 0;
    m_firstSkippedText.clear();
    QString shapeError;
    if (!withinShape(data, &shapeError)) {
        if (error)
            *error = shapeError;
        return false;
    }
    QXmlStreamReader xml(data);
    if (!xml.readNextStartElement() || xml.name() != QLatin1String("Total")) {
        if (!xml.hasError())
            xml.raiseError(QStringLiteral("Not a labels file"));
        if (error)
            *error = xml.errorString();
        return false;
    }
    QHash<QString, int> indexOf;
    while (xml.readNextStartElement()) {
        const QString name = xml.name().toString();
        LanguageElement texts = readClassElement(xml, name, &m_skippedTexts, &m_firstSkippedText);
        if (xml.hasError())
            break;
        // One window may appear twice; its texts then apply in file order.
        const auto it = indexOf.constFind(name);
        if (it == indexOf.constEnd() && m_elements.size() >= kMaxElements) {
            xml.raiseError(QStringLiteral("more than %1 windows").arg(kMaxElements));
            break;
        }
        if (it == indexOf.constEnd()) {
            indexOf.insert(name, m_elements.size());
            m_elements.append({name, texts});
        } else {
            for (const LanguageElement::Entry& e : texts.entries())
                m_elements[*it].second.append(e.first, e.second);
        }
    }
    if (xml.hasError()) {
        if (error)
            *error = QStringLiteral("%1 (line %2)").arg(xml.errorString()).arg(xml.lineNumber());
        return false;
    }
    return true;
}

LanguageElement LanguageFile::element(const QString& name) const
{
    for (const auto& e : m_elements) {
        if (e.first == name)
            return e.second;
    }
    return LanguageElement();
}

QStringList LanguageFile::elementNames() const
{
    QStringList names;
    for (const auto& e : m_elements)
        names << e.first;
    return names;
}

LanguageElement LanguageFile::cachedElement(int index, const QString& name)
{
    struct Cache
    {
        QString path;
        QDateTime modified;
        qint64 size = -1;
        LanguageFile file;
    };
    static QMutex lock;
    static Cache cache;

    const QString filePath = path(index);
    const QFileInfo info(filePath);
    QMutexLocker locker(&lock);
    if (cache.path != filePath || cache.modified != info.lastModified() || cache.size != info.size()) {
        QString error;
        LanguageFile parsed;
        if (!parsed.load(filePath, &error))
            qCWarning(lcLanguage, "language file %s: %s", qPrintable(filePath), qPrintable(error));
        cache.path = filePath;
        cache.modified = info.lastModified();
        cache.size = info.size();
        cache.file = parsed;
    }
    return cache.file.element(name);
}

int LanguageFile::currentIndex()
{
    return MacroIni::Instance()->LanguageIndex();
}

bool setWidgetText(QWidget* widget, const QString& text)
{
    if (auto* label = qobject_cast<QLabel*>(widget))
        label->setText(text);
    else if (auto* button = qobject_cast<QAbstractButton*>(widget))
        button->setText(text);
    else if (auto* group = qobject_cast<QGroupBox*>(widget))
        group->setTitle(text);
    else if (auto* edit = qobject_cast<QLineEdit*>(widget))
        edit->setText(text);
    else
        return false;
    return true;
}

int applyTexts(QWidget* root, const LanguageElement& texts, const TextBinding* rows, int count)
{
    int applied = 0;
    for (int i = 0; i < count; ++i) {
        const TextBinding& row = rows[i];
        QString text;
        if (!texts.find(QString::fromUtf8(row.child), &text))
            continue;
        const QString widgetName = QString::fromUtf8(row.widget);
        QWidget* widget = root->objectName() == widgetName ? root : root->findChild<QWidget*>(widgetName);
        if (!widget) {
            qCWarning(lcLanguage, "no widget %s for text %s", row.widget, row.child);
            continue;
        }
        bool ok = true;
        switch (row.role) {
        case TextRole::Text:
            ok = setWidgetText(widget, text);
            break;
        case TextRole::ToolTip:
            widget->setToolTip(text);
            break;
        case TextRole::ItemText: {
            auto* combo = qobject_cast<QComboBox*>(widget);
            ok = combo && row.item >= 0 && row.item < combo->count();
            if (ok)
                combo->setItemText(row.item, text);
            break;
        }
        }
        applied += ok ? 1 : 0;
    }
    return applied;
}

namespace {

// The list shows its selected and its hovered row alike. A turn of the wheel moves other rows
// under the pointer while the selection stays on the row it last passed over, so two rows would
// look chosen; once the list has scrolled, the selection is put under the pointer, as a move of
// the pointer would.
class SelectionFollowsWheel final : public QObject
{
public:
    explicit SelectionFollowsWheel(QAbstractItemView* list)
        : QObject(list)
        , m_list(list)
    {
        list->viewport()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Wheel) {
            const QPoint at = static_cast<QWheelEvent*>(event)->position().toPoint();
            QTimer::singleShot(0, this, [this, at] { selectRowAt(at); });
        }
        return false;
    }

private:
    void selectRowAt(const QPoint& at)
    {
        const QModelIndex row = m_list->indexAt(at);
        if (!row.isValid())
            return;
        m_list->setCurrentIndex(row);
        QHoverEvent hover(QEvent::HoverMove, at, at);
        QCoreApplication::sendEvent(m_list->viewport(), &hover);
    }

    QAbstractItemView* m_list;
};

} // namespace

void fillLanguageList(QComboBox* box)
{
    for (const LanguageName& language : kLanguageNames) {
        box->addItem(QString::fromUtf8(language.native));
        // On the entry: the list's own font gives way to the plain one when a style sheet polishes it.
        box->setItemData(box->count() - 1, box->font(), Qt::FontRole);
    }
    // One line height serves every entry: the names need not all be shaped to size the list.
    if (auto* list = qobject_cast<QListView*>(box->view()))
        list->setUniformItemSizes(true);
    box->view()->verticalScrollBar()->setStyleSheet(scrollBarStyle());
    new SelectionFollowsWheel(box->view());
}

} // namespace shell
