#include "core/IniText.h"

#include <QStringList>
#include <QVector>

#include <algorithm>

namespace core {

namespace {

bool isHexDigit(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

int hexValue(char c)
{
    return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool isLineSpace(char c)
{
    return isBlank(c) || c == '\n' || c == '\r';
}

// A group or key in the escaped form the ini reader turns back: '/' as '\\', anything but
// letters, digits, '_', '-' and '.' as %XX or %UXXXX.
QByteArray iniKey(const QString& key)
{
    QByteArray out;
    for (const QChar c : key) {
        const ushort u = c.unicode();
        if (c == QLatin1Char('/'))
            out += '\\';
        else if ((u < 0x80 && c.isLetterOrNumber()) || c == QLatin1Char('_') || c == QLatin1Char('-')
                 || c == QLatin1Char('.'))
            out += char(u);
        else if (u <= 0xFF)
            out += '%' + QByteArray::number(u, 16).rightJustified(2, '0').toUpper();
        else
            out += "%U" + QByteArray::number(u, 16).rightJustified(4, '0').toUpper();
    }
    return out;
}

// A text value, quoted so that ',', ';', '=' and outer spaces stay part of it; only printable
// ASCII goes unescaped, so any reader codec gives the same text.
QByteArray iniText(const QString& text)
{
    QByteArray out = "\"";
    if (text.startsWith(QLatin1Char('@')))
        out += '@';  // a leading '@' would announce a typed value
    bool afterHexEscape = false;
    for (const QChar c : text) {
        const ushort u = c.unicode();
        if (c == QLatin1Char('\\') || c == QLatin1Char('"')) {
            out += '\\';
            out += char(u);
            afterHexEscape = false;
        } else if (u < 0x20 || u >= 0x7F || (afterHexEscape && u < 0x80 && isHexDigit(char(u)))) {
            // A hex escape runs on over hex digits: one that follows it is escaped too.
            out += "\\x" + QByteArray::number(u, 16);
            afterHexEscape = true;
        } else {
            out += char(u);
            afterHexEscape = false;
        }
    }
    return out + '"';
}

// One line as the reader cuts the file: a line break inside quotes or after a backslash does not
// end it, an unquoted ';' does (a comment follows), and a line that starts with ';' is a comment
// to the end of its row. Blanks and empty rows before a line are passed over.
struct IniLine
{
    int start = 0;
    int end = 0;
    int equals = -1;  // the first '=' outside quotes
};

bool nextLine(const QByteArray& data, int& pos, IniLine* line)
{
    const int size = data.size();
    int start = pos;
    while (start < size && isLineSpace(data[start]))
        ++start;
    int equals = -1;
    bool quoted = false;
    int i = start;
    bool ended = false;
    while (i < size && !ended) {
        const char c = data[i++];
        if (c == '=') {
            if (!quoted && equals < 0)
                equals = i - 1;
        } else if (c == '\n' || c == '\r') {
            ended = !quoted;
        } else if (c == '\\') {
            if (i < size) {
                const char escaped = data[i++];
                // A backslash before "\r\n" or "\n\r" carries the line on over both.
                if (i < size && (escaped == '\n' || escaped == '\r') && (data[i] == '\n' || data[i] == '\r')
                    && data[i] != escaped)
                    ++i;
            }
        } else if (c == '"') {
            quoted = !quoted;
        } else if (c == ';') {
            if (i == start + 1) {
                while (i < size && data[i] != '\n' && data[i] != '\r')
                    ++i;
                while (i < size && isLineSpace(data[i]))
                    ++i;
                start = i;
            } else if (!quoted) {
                ended = true;
            }
        }
    }
    if (ended)
        --i;
    pos = i;
    *line = {start, i, equals};
    return i > start;
}

// The number of a %XX or %UXXXX escape in a key, read as QSettings reads it: blanks around it and
// a sign are let through. False when it is no number.
bool escapeNumber(const QByteArray& digits, ushort* code)
{
    bool ok = false;
    const int value = digits.toInt(&ok, 16);
    *code = ushort(value);
    return ok;
}

// A section name or key: '\\' is '/', %XX and %UXXXX are characters, other bytes Latin-1.
QString keyText(const QByteArray& data, int from, int to)
{
    QString key;
    int i = from;
    while (i < to) {
        const char c = data[i];
        if (c == '\\') {
            key += QLatin1Char('/');
            ++i;
            continue;
        }
        if (c == '%' && i + 1 < to) {
            const bool wide = data[i + 1] == 'U';
            const int first = i + (wide ? 2 : 1);
            const int digits = wide ? 4 : 2;
            ushort code = 0;
            if (first + digits <= to && escapeNumber(data.mid(first, digits), &code)) {
                key += QChar(code);
                i = first + digits;
                continue;
            }
        }
        key += QLatin1Char(c);
        ++i;
    }
    return key;
}

// The character after a backslash, for the one-letter escapes; 0 for others.
char simpleEscape(char c)
{
    switch (c) {
    case 'a': return '\a';
    case 'b': return '\b';
    case 'f': return '\f';
    case 'n': return '\n';
    case 'r': return '\r';
    case 't': return '\t';
    case 'v': return '\v';
    case '"': case '?': case '\'': case '\\': return c;
    default: return 0;
    }
}

// A value as QSettings unescapes it, item by item: quotes keep blanks and separators, an unquoted
// ',' starts the next item of a list, blanks at the end of an unquoted item go unless escaped.
class ValueReader
{
public:
    ValueReader(const QByteArray& data, int from, int to)
        : m_data(data)
        , m_i(from)
        , m_to(to)
    {
    }

    QStringList items()
    {
        skipBlanks();
        bool cutShort = false;
        while (m_i < m_to && !cutShort) {
            const char c = m_data[m_i];
            if (c == '\\')
                cutShort = !escape();
            else if (c == '"')
                quote();
            else if (c == ',' && !m_inQuotes)
                nextItem();
            else
                plainRun();
        }
        // Cut short by a backslash at the very end: the blanks before it stay, as QSettings keeps them.
        if (!cutShort && !m_quoted)
            chopBlanks();
        m_items << m_current;
        return m_items;
    }

private:
    void skipBlanks()
    {
        while (m_i < m_to && isBlank(m_data[m_i]))
            ++m_i;
        m_keepFrom = m_current.size();
    }

    void chopBlanks()
    {
        int n = m_current.size();
        while (n > m_keepFrom && (m_current[n - 1] == QLatin1Char(' ') || m_current[n - 1] == QLatin1Char('\t')))
            --n;
        m_current.truncate(n);
    }

    // False when the data ends inside the escape.
    bool escape()
    {
        if (++m_i >= m_to)
            return false;
        const char c = m_data[m_i++];
        if (const char plain = simpleEscape(c)) {
            m_current += QLatin1Char(plain);
        } else if (c == 'x') {
            if (m_i >= m_to)
                return false;
            if (isHexDigit(m_data[m_i]) && !number(16))
                return false;
        } else if (c >= '0' && c <= '7') {
            --m_i;
            if (!number(8))
                return false;
        } else if (c == '\n' || c == '\r') {
            const char next = m_i < m_to ? m_data[m_i] : 0;
            if ((next == '\n' || next == '\r') && next != c)
                ++m_i;
        }
        // Any other escaped character is dropped.
        m_keepFrom = m_current.size();
        return true;
    }

    // The digits of a numeric escape, as long as they run; false when they run to the end.
    bool number(int base)
    {
        uint code = 0;
        auto isDigit = [base](char c) { return base == 16 ? isHexDigit(c) : c >= '0' && c <= '7'; };
        while (m_i < m_to && isDigit(m_data[m_i]))
            code = code * uint(base) + uint(hexValue(m_data[m_i++]));
        m_current += QChar(ushort(code));
        return m_i < m_to;
    }

    void quote()
    {
        ++m_i;
        m_quoted = true;
        m_inQuotes = !m_inQuotes;
        if (!m_inQuotes)
            skipBlanks();
    }

    void nextItem()
    {
        if (!m_quoted)
            chopBlanks();
        m_items << m_current;
        m_current.clear();
        m_quoted = false;
        ++m_i;
        skipBlanks();
    }

    void plainRun()
    {
        int j = m_i + 1;
        while (j < m_to && m_data[j] != '\\' && m_data[j] != '"' && m_data[j] != ',')
            ++j;
        m_current += QString::fromUtf8(m_data.constData() + m_i, j - m_i);
        m_i = j;
    }

    const QByteArray& m_data;
    int m_i;
    const int m_to;
    QString m_current;
    QStringList m_items;
    int m_keepFrom = 0;  // blanks before this index stay
    bool m_inQuotes = false;
    bool m_quoted = false;  // the current item had quotes
};

// One item as text: QSettings's typed values ("@Type(...)") that are no text read as empty.
QString itemText(const QString& item)
{
    if (!item.startsWith(QLatin1Char('@')))
        return item;
    if (item.endsWith(QLatin1Char(')'))) {
        if (item.startsWith(QLatin1String("@ByteArray(")))
            return QString::fromUtf8(item.mid(11, item.size() - 12).toLatin1());
        if (item.startsWith(QLatin1String("@String(")))
            return item.mid(8, item.size() - 9);
        if (item == QLatin1String("@Invalid()") || item.startsWith(QLatin1String("@Variant("))
            || item.startsWith(QLatin1String("@DateTime(")))
            return QString();
        // A rectangle, size or point only with its count of numbers; else it is text.
        const int open = item.indexOf(QLatin1Char('('));
        const QStringRef type = item.leftRef(open);
        // Each blank and each ')' after the '(' ends a number, as QSettings splits them.
        const QStringRef inner = item.midRef(open + 1);
        const int numbers = inner.count(QLatin1Char(' ')) + inner.count(QLatin1Char(')'));
        if ((type == QLatin1String("@Rect") && numbers == 4)
            || ((type == QLatin1String("@Size") || type == QLatin1String("@Point")) && numbers == 2))
            return QString();
    }
    return item.startsWith(QLatin1String("@@")) ? item.mid(1) : item;
}

QString sectionPrefix(QByteArray name)
{
    name = name.trimmed();
    if (name.compare("general", Qt::CaseInsensitive) == 0)
        return QString();
    if (name.compare("%general", Qt::CaseInsensitive) == 0)
        return QString::fromLatin1(name.mid(1)) + QLatin1Char('/');
    return keyText(name, 0, name.size()) + QLatin1Char('/');
}

// Past the end of the row that pos lies in, its line break included.
int rowEnd(const QByteArray& data, int pos)
{
    const int size = data.size();
    while (pos < size && data[pos] != '\n' && data[pos] != '\r')
        ++pos;
    if (pos < size && data[pos] == '\r')
        ++pos;
    if (pos < size && data[pos] == '\n')
        ++pos;
    return pos;
}

// The blanks before pos on its row belong to the line that starts there.
int rowStart(const QByteArray& data, int pos)
{
    while (pos > 0 && isBlank(data[pos - 1]))
        --pos;
    return pos;
}

struct Entry
{
    int start = 0;  // the key's first byte
    int end = 0;    // where the value ends: at the line break, at a comment or at the end of the file
    int section = 0;
    QString address;
    QString text;
    bool plainText = false;  // one item that QSettings reads as text, no list or other type
};

struct Section
{
    QString prefix;    // empty for the lines before the first section and for "General"
    int insertAt = 0;  // where a new entry of the section goes: past its last entry's row or its header's
    bool hasEntries = false;
};

// Every entry of a file where it lies, and every section as the file starts it (a section
// named twice is two here, one to the reader).
struct Scan
{
    QVector<Section> sections;
    QVector<Entry> entries;
};

void addEntry(const QByteArray& bytes, const IniLine& line, Scan* scan)
{
    int keyEnd = line.equals;
    while (keyEnd > line.start && isBlank(bytes[keyEnd - 1]))
        --keyEnd;
    QStringList texts;
    const QStringList items = ValueReader(bytes, line.equals + 1, line.end).items();
    for (const QString& item : items)
        texts << itemText(item);
    const QString& first = items.first();
    const bool plain = items.size() == 1
                       && (!first.startsWith(QLatin1Char('@')) || first.startsWith(QLatin1String("@@"))
                           || first.startsWith(QLatin1String("@String(")));
    Section& section = scan->sections.last();
    scan->entries.append({line.start, line.end, scan->sections.size() - 1,
                          section.prefix + keyText(bytes, line.start, keyEnd), texts.join(QStringLiteral(", ")),
                          plain});
    section.insertAt = rowEnd(bytes, line.end);
    section.hasEntries = true;
}

Scan scanIni(const QByteArray& bytes)
{
    Scan scan;
    scan.sections.append(Section());
    // A UTF-8 byte-order mark is passed over when sections are looked for, yet stays part of
    // the lines before the first section, as QSettings reads them.
    IniLine line;
    int firstSection = bytes.size();
    for (int pos = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0; nextLine(bytes, pos, &line);) {
        if (bytes[line.start] == '[') {
            firstSection = line.start;
            break;
        }
    }
    const QByteArray head = bytes.left(firstSection);
    for (int pos = 0; nextLine(head, pos, &line);) {
        if (line.equals >= 0)
            addEntry(bytes, line, &scan);
    }
    for (int pos = firstSection; nextLine(bytes, pos, &line);) {
        if (bytes[line.start] == '[') {
            const int close = bytes.indexOf(']', line.start);
            const int nameEnd = close < 0 || close >= line.end ? line.end : close;
            const QString prefix = sectionPrefix(bytes.mid(line.start + 1, nameEnd - line.start - 1));
            scan.sections.append({prefix, rowEnd(bytes, line.end), false});
        } else if (line.equals >= 0) {
            addEntry(bytes, line, &scan);
        }
    }
    return scan;
}

QString groupOf(const QString& address)
{
    const int slash = address.indexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : address.left(slash);
}

// An entry in this program's form, its key the part of the address after the section's prefix.
QByteArray entryLine(const QString& address, int prefixSize, const QString& text)
{
    return iniKey(address.mid(prefixSize)) + '=' + iniText(text);
}

QByteArray sectionHeader(const QString& group)
{
    if (group.isEmpty())
        return "[General]";
    const bool general = group.compare(QLatin1String("General"), Qt::CaseInsensitive) == 0;
    return '[' + QByteArray(general ? "%" : "") + iniKey(group) + ']';
}

// The last section of the file a new entry of group joins; -1 when it needs a section of its own.
// Lines before the first section count only where they hold entries.
int sectionFor(const Scan& scan, const QString& group)
{
    const QString prefix = group.isEmpty() ? QString() : group + QLatin1Char('/');
    for (int i = scan.sections.size() - 1; i >= 0; --i) {
        if (scan.sections[i].prefix == prefix && (i > 0 || scan.sections[i].hasEntries))
            return i;
    }
    return -1;
}

bool endsRow(const QByteArray& data)
{
    return data.isEmpty() || data.endsWith('\n') || data.endsWith('\r');
}

} // namespace

namespace {

QMap<QString, QString> valuesOf(const QByteArray& bytes, bool plainTextOnly)
{
    // Sections in the order of their names, each one's lines in file order: where two lines
    // give one address, the one QSettings keeps wins.
    const Scan scan = scanIni(bytes);
    QMap<QString, QVector<int>> byPrefix;
    for (int i = 0; i < scan.entries.size(); ++i)
        byPrefix[scan.sections[scan.entries[i].section].prefix].append(i);
    QMap<QString, QString> values;
    for (const QVector<int>& lines : qAsConst(byPrefix)) {
        for (const int i : lines) {
            const Entry& entry = scan.entries[i];
            if (entry.plainText || !plainTextOnly)
                values.insert(entry.address, entry.text);
            else
                values.remove(entry.address);
        }
    }
    return values;
}

} // namespace

QMap<QString, QString> parseIniText(const QByteArray& bytes)
{
    return valuesOf(bytes, false);
}

QMap<QString, QString> parsePlainIniText(const QByteArray& bytes)
{
    return valuesOf(bytes, true);
}

QByteArray editIniText(const QByteArray& bytes, const QMap<QString, std::optional<QString>>& changes)
{
    const Scan scan = scanIni(bytes);
    const int firstBreak = bytes.indexOf('\n');
    const QByteArray eol = firstBreak > 0 && bytes[firstBreak - 1] == '\r' ? "\r\n" : "\n";
    struct Cut
    {
        int from;
        int to;
        QByteArray text;
    };
    QVector<Cut> cuts;
    QMap<QString, QByteArray> newSections;
    for (auto change = changes.cbegin(); change != changes.cend(); ++change) {
        // A value set takes the place of the address's first line; every other line of it goes.
        bool placed = !change.value().has_value();
        for (const Entry& entry : scan.entries) {
            if (entry.address != change.key())
                continue;
            if (placed)
                cuts.append({rowStart(bytes, entry.start), rowEnd(bytes, entry.end), QByteArray()});
            else
                cuts.append({entry.start, entry.end,
                             entryLine(change.key(), scan.sections[entry.section].prefix.size(), *change.value())});
            placed = true;
        }
        if (placed)
            continue;
        // A new entry goes to the section named by the address's first part, as QSettings puts it.
        const QString group = groupOf(change.key());
        const QByteArray line = entryLine(change.key(), group.isEmpty() ? 0 : group.size() + 1, *change.value()) + eol;
        const int section = sectionFor(scan, group);
        if (section < 0) {
            newSections[group] += line;
            continue;
        }
        const int at = scan.sections[section].insertAt;
        cuts.append({at, at, (endsRow(bytes.left(at)) ? QByteArray() : eol) + line});
    }
    std::stable_sort(cuts.begin(), cuts.end(),
                     [](const Cut& a, const Cut& b) { return a.from != b.from ? a.from < b.from : a.to < b.to; });
    QByteArray out;
    int pos = 0;
    for (const Cut& cut : qAsConst(cuts)) {
        out += bytes.mid(pos, cut.from - pos) + cut.text;
        pos = cut.to;
    }
    out += bytes.mid(pos);
    for (auto section = newSections.cbegin(); section != newSections.cend(); ++section) {
        if (!out.isEmpty())
            out += (endsRow(out) ? QByteArray() : eol) + eol;
        out += sectionHeader(section.key()) + eol + section.value();
    }
    return out;
}

} // namespace core
