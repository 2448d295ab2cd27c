#include "ui/problem_texts.h"

#include <QCoreApplication>
#include <optional>
#include <vector>

namespace kurvana::ui {
namespace {

// A sentence form: the English with %1.. where the variable parts go, and
// what each part is: 'v' verbatim (a path, a name; may be empty), 'n' a
// number (digits), 'r' a reason, itself translated by the reason forms.
struct Form {
  const char* source;
  const char* kinds;
};

// Whole lines. The longer forms of a frame come first: "Cannot read ...: %2"
// also matches them, with a reason it cannot recognise.
constexpr Form kSentences[] = {
    {QT_TRANSLATE_NOOP("ProblemTexts",
                       "Cannot read \"%1\": %2. Formulas are not added to this "
                       "history until it can be read."),
     "vr"},
    {QT_TRANSLATE_NOOP("ProblemTexts",
                       "Cannot read \"%1\": %2. Settings are not saved while it is there."),
     "vr"},
    {QT_TRANSLATE_NOOP("ProblemTexts", "Cannot read \"%1\": %2"), "vr"},
    {QT_TRANSLATE_NOOP("ProblemTexts", "Cannot write \"%1\": %2"), "vr"},
    {QT_TRANSLATE_NOOP("ProblemTexts",
                       "Cannot open the report \"%1\": %2. It is still written there after each "
                       "Draw."),
     "vr"},
    {QT_TRANSLATE_NOOP("ProblemTexts", "Cannot open \"%1\": %2."), "vr"},
    {QT_TRANSLATE_NOOP("ProblemTexts",
                       "Kurvana cannot find your documents folder: the HOME variable is not set."),
     ""},
    {QT_TRANSLATE_NOOP("ProblemTexts", "Kurvana cannot create its data folder \"%1\": %2."), "vr"},
    {QT_TRANSLATE_NOOP("ProblemTexts",
                       "Language file \"%1\" and those after it are left out: all language files "
                       "together may not exceed %2 MiB."),
     "vn"},
    {QT_TRANSLATE_NOOP("ProblemTexts",
                       "Language file \"%1\" and those after it are left out: all language files "
                       "together may not exceed %2 bytes."),
     "vn"},
};

// What follows the colon: the program's own reasons (src/files, src/app),
// what is appended to them, and the system's (strerror) for the failures a
// file operation meets.
constexpr Form kReasons[] = {
    // What stands in a file's place (fileKind), read or written.
    {QT_TRANSLATE_NOOP("ProblemTexts", "it is a folder"), ""},
    {QT_TRANSLATE_NOOP("ProblemTexts", "it is a named pipe"), ""},
    {QT_TRANSLATE_NOOP("ProblemTexts", "it is a device"), ""},
    {QT_TRANSLATE_NOOP("ProblemTexts", "it is a socket"), ""},
    {QT_TRANSLATE_NOOP("ProblemTexts", "it is a symbolic link"), ""},
    {QT_TRANSLATE_NOOP("ProblemTexts", "it is not a regular file"), ""},
    {QT_TRANSLATE_NOOP("ProblemTexts", "it is a folder, not replaced"), ""},
    {QT_TRANSLATE_NOOP("ProblemTexts", "it is a named pipe, not replaced"), ""},
    {QT_TRANSLATE_NOOP("ProblemTexts", "it is a device, not replaced"), ""},
    {QT_TRANSLATE_NOOP("ProblemTexts", "it is a socket, not replaced"), ""},
    {QT_TRANSLATE_NOOP("ProblemTexts", "it is a symbolic link, not replaced"), ""},
    {QT_TRANSLATE_NOOP("ProblemTexts", "it is not a regular file, not replaced"), ""},
    {QT_TRANSLATE_NOOP("ProblemTexts",
                       "it belongs to another user in a shared folder, not replaced"),
     ""},
    {QT_TRANSLATE_NOOP("ProblemTexts",
                       "it is a link of another user in a shared folder, not followed"),
     ""},
    {QT_TRANSLATE_NOOP("ProblemTexts", "it was replaced by another file meanwhile"), ""},
    {QT_TRANSLATE_NOOP("ProblemTexts",
                       "no copy of its present content can be kept while it is rewritten"),
     ""},
    {QT_TRANSLATE_NOOP("ProblemTexts", "no file name"), ""},
    // The size caps (sizeText).
    {QT_TRANSLATE_NOOP("ProblemTexts", "it is larger than %1 MiB"), "n"},
    {QT_TRANSLATE_NOOP("ProblemTexts", "it is larger than %1 KiB"), "n"},
    {QT_TRANSLATE_NOOP("ProblemTexts", "it is larger than %1 bytes"), "n"},
    {QT_TRANSLATE_NOOP("ProblemTexts", "it is larger than 1 byte"), ""},
    // Pictures.
    {QT_TRANSLATE_NOOP("ProblemTexts", "the picture is empty"), ""},
    {QT_TRANSLATE_NOOP("ProblemTexts", "the picture is too large for a BMP file"), ""},
    {QT_TRANSLATE_NOOP("ProblemTexts", "out of memory"), ""},
    // The data folder; the window's catalogue.
    {QT_TRANSLATE_NOOP("ProblemTexts", "a file of that name is in the way"), ""},
    {QT_TRANSLATE_NOOP("ProblemTexts", "it is not a translation file"), ""},
    // A rewrite in place that failed, and files written together.
    {QT_TRANSLATE_NOOP("ProblemTexts", "%1; its previous content is kept in \"%2\""), "rv"},
    {QT_TRANSLATE_NOOP("ProblemTexts", "%1; its previous content could not be put back"), "r"},
    {QT_TRANSLATE_NOOP("ProblemTexts", "%1; \"%2\" was put back as it was"), "rv"},
    {QT_TRANSLATE_NOOP("ProblemTexts", "%1; \"%2\" was written but could not be put back (%3)"),
     "rvr"},
    // The desktop's opener (the report, the web page).
    {QT_TRANSLATE_NOOP("ProblemTexts", "%1 could not be started"), "v"},
    {QT_TRANSLATE_NOOP("ProblemTexts",
                       "the desktop has no program for it (%1 ended with status 3)"),
     "v"},
    {QT_TRANSLATE_NOOP("ProblemTexts", "%1 ended with status %2"), "vn"},
    // The system's, as glibc words them.
    {QT_TRANSLATE_NOOP("ProblemTexts", "Permission denied"), ""},
    {QT_TRANSLATE_NOOP("ProblemTexts", "Operation not permitted"), ""},
    {QT_TRANSLATE_NOOP("ProblemTexts", "No such file or directory"), ""},
    {QT_TRANSLATE_NOOP("ProblemTexts", "No space left on device"), ""},
    {QT_TRANSLATE_NOOP("ProblemTexts", "Read-only file system"), ""},
    {QT_TRANSLATE_NOOP("ProblemTexts", "Is a directory"), ""},
    {QT_TRANSLATE_NOOP("ProblemTexts", "Not a directory"), ""},
    {QT_TRANSLATE_NOOP("ProblemTexts", "Directory not empty"), ""},
    {QT_TRANSLATE_NOOP("ProblemTexts", "File exists"), ""},
    {QT_TRANSLATE_NOOP("ProblemTexts", "File too large"), ""},
    {QT_TRANSLATE_NOOP("ProblemTexts", "File name too long"), ""},
    {QT_TRANSLATE_NOOP("ProblemTexts", "Input/output error"), ""},
    {QT_TRANSLATE_NOOP("ProblemTexts", "Disk quota exceeded"), ""},
    {QT_TRANSLATE_NOOP("ProblemTexts", "Too many levels of symbolic links"), ""},
    {QT_TRANSLATE_NOOP("ProblemTexts", "Too many open files"), ""},
    {QT_TRANSLATE_NOOP("ProblemTexts", "Cannot allocate memory"), ""},
    {QT_TRANSLATE_NOOP("ProblemTexts", "Text file busy"), ""},
    {QT_TRANSLATE_NOOP("ProblemTexts", "Device or resource busy"), ""},
    {QT_TRANSLATE_NOOP("ProblemTexts", "No such device or address"), ""},
    {QT_TRANSLATE_NOOP("ProblemTexts", "No such device"), ""},
    {QT_TRANSLATE_NOOP("ProblemTexts", "Invalid argument"), ""},
    {QT_TRANSLATE_NOOP("ProblemTexts", "Invalid cross-device link"), ""},
    {QT_TRANSLATE_NOOP("ProblemTexts", "Stale file handle"), ""},
    {QT_TRANSLATE_NOOP("ProblemTexts", "Operation not supported"), ""},
    {QT_TRANSLATE_NOOP("ProblemTexts", "Resource temporarily unavailable"), ""},
    {QT_TRANSLATE_NOOP("ProblemTexts", "Bad file descriptor"), ""},
};

// Longer than any message the core builds (paths are at most 4096 bytes):
// not worth matching.
constexpr qsizetype kMaxMatched = 1 << 16;

TranslatedProblem translateReason(QStringView text);

// A form cut into its literal pieces and the placeholders between them:
// literals[i] comes before placeholders[i]; the last literal ends the form.
struct Pieces {
  std::vector<QString> literals;
  std::vector<int> placeholders;  // 0 for %1
};

Pieces piecesOf(const QString& source) {
  Pieces p;
  QString literal;
  for (qsizetype i = 0; i < source.size(); ++i) {
    if (source[i] == '%' && i + 1 < source.size() && source[i + 1] >= '1' && source[i + 1] <= '9') {
      p.literals.push_back(literal);
      p.placeholders.push_back(source[i + 1].unicode() - '1');
      literal.clear();
      ++i;
    } else {
      literal += source[i];
    }
  }
  p.literals.push_back(literal);
  return p;
}

// The text of a placeholder as its kind wants it; nothing when it is not one.
std::optional<TranslatedProblem> part(char kind, QStringView value) {
  switch (kind) {
    case 'n': {
      if (value.isEmpty()) return std::nullopt;
      for (const QChar c : value) {
        if (c < '0' || c > '9') return std::nullopt;
      }
      return TranslatedProblem{value.toString(), true};
    }
    case 'r':
      if (value.isEmpty()) return std::nullopt;
      return translateReason(value);
    default:
      return TranslatedProblem{value.toString(), true};
  }
}

// Matches literal `i` at `at` and what follows, binding the placeholders;
// the first binding recognised throughout wins, else the first found.
struct Matcher {
  const Pieces& pieces;
  const char* kinds;
  QStringView text;
  std::vector<TranslatedProblem> bound;
  std::optional<std::vector<TranslatedProblem>> fallback;

  bool run(std::size_t i, qsizetype at) {
    const QString& literal = pieces.literals[i];
    if (!text.sliced(at).startsWith(literal)) return false;
    at += literal.size();
    if (i == pieces.placeholders.size()) {
      if (at != text.size()) return false;
      bool whole = true;
      for (const TranslatedProblem& b : bound) whole = whole && b.whole;
      if (whole) return true;
      if (!fallback) fallback = bound;
      return false;
    }
    const int number = pieces.placeholders[i];
    const char kind = kinds[number];
    const QString& next = pieces.literals[i + 1];
    const bool last = i + 1 == pieces.placeholders.size();
    // The placeholder ends where the next literal starts: at the end of the
    // text for a trailing one, else at each place that literal occurs.
    std::vector<qsizetype> ends;
    if (last && next.isEmpty()) {
      ends.push_back(text.size());
    } else if (last) {
      if (text.endsWith(next) && text.size() - next.size() >= at) {
        ends.push_back(text.size() - next.size());
      }
    } else {
      for (qsizetype end = text.indexOf(next, at); end >= 0; end = text.indexOf(next, end + 1)) {
        ends.push_back(end);
      }
    }
    for (const qsizetype end : ends) {
      std::optional<TranslatedProblem> value = part(kind, text.sliced(at, end - at));
      if (!value) continue;
      if (bound.size() <= static_cast<std::size_t>(number)) bound.resize(number + 1);
      bound[number] = std::move(*value);
      if (run(i + 1, end)) return true;
    }
    return false;
  }
};

// The translation with its placeholders filled in one pass, so that a path
// holding "%2" stays as it is.
QString fill(const QString& translation, const std::vector<TranslatedProblem>& bound) {
  QString out;
  for (qsizetype i = 0; i < translation.size(); ++i) {
    if (translation[i] == '%' && i + 1 < translation.size() && translation[i + 1] >= '1' &&
        translation[i + 1] <= '9') {
      const auto number = static_cast<std::size_t>(translation[i + 1].unicode() - '1');
      if (number < bound.size()) {
        out += bound[number].text;
        ++i;
        continue;
      }
    }
    out += translation[i];
  }
  return out;
}

template <std::size_t N>
std::optional<TranslatedProblem> matchForms(const Form (&forms)[N], QStringView text) {
  std::optional<TranslatedProblem> partial;
  for (const Form& form : forms) {
    const QString source = QString::fromUtf8(form.source);
    const Pieces pieces = piecesOf(source);
    Matcher m{pieces, form.kinds, text, {}, std::nullopt};
    const bool whole = m.run(0, 0);
    if (!whole && (!m.fallback || partial)) continue;
    const QString translation = QCoreApplication::translate(kProblemContext, form.source);
    const TranslatedProblem result{fill(translation, whole ? m.bound : *m.fallback), whole};
    if (whole) return result;
    partial = result;
  }
  return partial;
}

TranslatedProblem translateReason(QStringView text) {
  if (std::optional<TranslatedProblem> found = matchForms(kReasons, text)) return *found;
  return {text.toString(), false};
}

TranslatedProblem translateLine(QStringView line) {
  if (line.size() > kMaxMatched) return {line.toString(), false};
  if (std::optional<TranslatedProblem> found = matchForms(kSentences, line)) return *found;
  return {line.toString(), false};
}

}  // namespace

TranslatedProblem translateProblemText(const QString& message) {
  TranslatedProblem result{QString(), true};
  const QStringList lines = message.split('\n');
  for (qsizetype i = 0; i < lines.size(); ++i) {
    const TranslatedProblem line = translateLine(lines[i]);
    if (i > 0) result.text += '\n';
    result.text += line.text;
    result.whole = result.whole && line.whole;
  }
  return result;
}

QStringList problemSourceTexts() {
  QStringList sources;
  for (const Form& f : kSentences) sources << QString::fromUtf8(f.source);
  for (const Form& f : kReasons) sources << QString::fromUtf8(f.source);
  return sources;
}

}  // namespace kurvana::ui
