#pragma once

#include <QString>
#include <QStringList>

namespace datagen {

// Merges every fragment "<Element>.xml" of `fragmentDir` into the six
// language files below `outDir` (root "Total", one element per window).
// Problems in a fragment are reported in `warnings` and the fragment is
// skipped, so one broken window never costs the texts of all others.
// Returns false only when a language file cannot be written.
bool mergeLanguageFragments(const QString& fragmentDir, const QString& outDir, QStringList* warnings,
                            QString* error);

} // namespace datagen
