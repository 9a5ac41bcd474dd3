#include "drop_rules.h"

#include <system_error>

#include "catalogue.h"
#include "table_file.h"
#include "unicode_case.h"
#include "unicode_table.h"

namespace velmar {
namespace {

std::string Utf8(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

std::string Quoted(const std::filesystem::path& path) { return "«" + Utf8(path.filename()) + "»"; }

bool EndsInTable(const std::filesystem::path& path) {
  const std::string name = Utf8(path.filename());
  constexpr std::string_view kEnding = ".table";
  return name.size() >= kEnding.size() &&
         online::EqualsLatinNoCase(std::string_view(name).substr(name.size() - kEnding.size()), kEnding);
}

DropDecision Refuse(std::string reason) { return {DropAction::Refuse, std::move(reason)}; }

DropDecision DecideSourceBox(const std::vector<DroppedFile>& files) {
  if (files.size() > 1) return Refuse("В верхнее поле открывается один файл за раз, а перетащено несколько.");
  const DroppedFile& file = files.front();
  if (file.isFolder) return Refuse(Quoted(file.path) + " — это папка, а открыть можно только файл.");
  // Opened as text, a table would only show its source; on the list it becomes usable.
  if (EndsInTable(file.path))
    return Refuse(Quoted(file.path) + " — таблица: перетащите её на список таблиц слева, и она добавится в программу.");
  return {DropAction::OpenText, {}};
}

DropDecision DecideTableList(const std::vector<DroppedFile>& files) {
  // All or nothing: half a drop added would leave the user guessing which half.
  for (const DroppedFile& file : files) {
    if (file.isFolder)
      return Refuse(Quoted(file.path) + " — это папка, а в список таблиц добавляются только файлы .table.");
    if (!EndsInTable(file.path))
      return Refuse(Quoted(file.path) + " — не таблица: в список таблиц добавляются только файлы .table.");
    if (!online::IsSafeModuleFileName(Utf8(file.path.filename())))
      return Refuse("Имя " + Quoted(file.path) + " не годится для файла таблицы: Windows не сохранит под ним файл.");
  }
  return {DropAction::AddTables, {}};
}

}  // namespace

DropDecision DecideDrop(DropArea area, const std::vector<DroppedFile>& files) {
  if (files.empty()) return Refuse({});
  switch (area) {
    case DropArea::SourceBox:
      return DecideSourceBox(files);
    case DropArea::TableList:
      return DecideTableList(files);
    case DropArea::Elsewhere:
      break;
  }
  return Refuse("Сюда файлы не перетаскивают: текстовый файл отпустите над верхним полем, а таблицу (.table) — "
                "над списком таблиц.");
}

std::filesystem::path SameNameTable(const std::filesystem::path& tableFolder, const std::filesystem::path& name) {
  const std::string wanted = Utf8(name.filename());
  std::error_code ec;
  std::filesystem::directory_iterator it(tableFolder, ec), end;
  for (; !ec && it != end; it.increment(ec))
    if (Utf8EqualsNoCase(Utf8(it->path().filename()), wanted)) return it->path();
  return {};
}

std::string ReplaceQuestion(const std::filesystem::path& existing) {
  return "Таблица " + Quoted(existing) + " уже есть в папке Table. Заменить её перетащенной?";
}

AddResult AddTableFile(const std::filesystem::path& source, const std::filesystem::path& tableFolder,
                       const std::function<bool(const std::filesystem::path& existing)>& replace) {
  AddResult result;
  if (!EndsInTable(source) || !online::IsSafeModuleFileName(Utf8(source.filename()))) {
    result.reason = "Имя " + Quoted(source) + " не годится для файла таблицы.";
    return result;
  }
  const std::optional<std::string> bytes = ReadWholeFile(source);
  if (!bytes) {
    result.reason = "Файл " + Quoted(source) + " не удалось прочитать.";
    return result;
  }
  std::string error;
  const TTransTable table = ReadTableFile(source, &error);
  if (!error.empty() || (table.TableCount == 0 && table.From.empty() && table.To.empty())) {
    result.reason = Quoted(source) + " — не таблица: в файле нет ни названий языков, ни пар замен.";
    return result;
  }

  std::error_code ec;
  std::filesystem::create_directories(tableFolder, ec);
  const std::filesystem::path existing = SameNameTable(tableFolder, source.filename());
  if (!existing.empty()) {
    result.target = existing;
    // Dropped from the folder itself: copying a file onto itself would only risk it.
    if (std::filesystem::equivalent(source, existing, ec)) {
      result.outcome = AddOutcome::AlreadyThere;
      return result;
    }
    if (!replace(existing)) {
      result.outcome = AddOutcome::Kept;
      return result;
    }
  } else {
    result.target = tableFolder / source.filename();
  }
  // The existing file keeps its name (a name differing only in case is the same file to Windows).
  if (!WriteFileAtomically(result.target, *bytes)) {
    result.outcome = AddOutcome::Refused;
    result.reason = "Не удалось записать таблицу в папку «" + Utf8(tableFolder) + "».";
    return result;
  }
  result.outcome = existing.empty() ? AddOutcome::Added : AddOutcome::Replaced;
  return result;
}

std::int32_t FindTableSlot(const TTableStore& store, const std::filesystem::path& file, bool reverse) {
  for (std::int32_t slot = 0; slot < store.StoreCount(); ++slot)
    if (IsReverseSlot(slot) == reverse && store.Store[static_cast<std::size_t>(slot)].FilePath == file) return slot;
  return -1;
}

bool IsReverseSlot(std::int32_t slot) { return slot % 2 == 1; }

}  // namespace velmar
