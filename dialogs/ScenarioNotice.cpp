#include "dialogs/ScenarioNotice.h"

#include "dialogs/UpDateWarning.h"
#include "shell/common/LanguageFile.h"

#include <QToolButton>

namespace dialogs {

namespace {

struct FaultText {
    ScenarioFault fault;
    bool atLine;  // a malformed file whose faulty line is known
    const char* key;
    const char* english;
};

constexpr FaultText kTexts[] = {
    {ScenarioFault::Missing, false, "ScenarioMissing",
     "The simulated devices could not be set up: there is no scenario file %1. The program ends."},
    {ScenarioFault::Unreadable, false, "ScenarioUnreadable",
     "The simulated devices could not be set up: the scenario file %1 cannot be read. The program ends."},
    {ScenarioFault::NotAFile, false, "ScenarioNotFile",
     "The simulated devices could not be set up: the scenario %1 is not a file. The program ends."},
    {ScenarioFault::Malformed, true, "ScenarioBadLine",
     "The simulated devices could not be set up: line %2 of the scenario file %1 is malformed. The program ends."},
    {ScenarioFault::Malformed, false, "ScenarioMalformed",
     "The simulated devices could not be set up: the scenario file %1 is malformed. The program ends."},
};

} // namespace

void setScenarioNoticeText(UpDateWarning& notice, ScenarioFault fault, int line, const QString& file)
{
    // A code this program does not know yet still says that the file could not be used.
    const FaultText* row = &kTexts[1];
    for (const FaultText& candidate : kTexts)
        if (candidate.fault == fault && candidate.atLine == (line > 0))
            row = &candidate;
    QString text;
    shell::LanguageFile::cachedElement(shell::LanguageFile::currentIndex(), QStringLiteral("DialogMain"))
        .find(QLatin1String(row->key), &text);
    if (!text.contains(QLatin1String("%1"))) {
        text = QLatin1String(row->english);
        notice.okButton()->setText(QStringLiteral("OK"));
    }
    notice.SetText(notice.withNames(text, {file, QString::number(line)}));
}

} // namespace dialogs
