// The core's problem messages (English sentences, see base/status.h) in the
// interface language. Each sentence form the core builds ("Cannot read
// "<path>": <reason>", the reasons it gives, the system's strerror phrases)
// is matched as a whole and rebuilt from its translation with the paths,
// names and numbers as they were; whatever is not recognised stays English,
// so no information is ever lost.
#pragma once

#include <QString>
#include <QStringList>

namespace kurvana::ui {

// The translation context of the sentence forms in the .ts files.
inline constexpr char kProblemContext[] = "ProblemTexts";

struct TranslatedProblem {
  QString text;
  // Every part of the message was recognised (an unknown reason or line
  // stays English and makes this false).
  bool whole = false;
};

// Line by line: a message of several lines keeps its line ends.
TranslatedProblem translateProblemText(const QString& message);
inline QString translateProblem(const QString& message) {
  return translateProblemText(message).text;
}

// The English forms, with %1.. where the paths, reasons and numbers go, as
// they stand in the .ts files.
QStringList problemSourceTexts();

}  // namespace kurvana::ui
