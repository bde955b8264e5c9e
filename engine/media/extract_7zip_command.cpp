// "Extract 7Zip Archive".
#include <windows.h>

#include <charconv>
#include <cstdint>

#include "engine/base/error.h"
#include "engine/media/direct_extract_media.h"
#include "engine/media/media_commands.h"
#include "engine/media/media_environment.h"
#include "engine/media/media_worker_wait.h"
#include "engine/vars/script_variables.h"

namespace kox {
namespace {

constexpr const char* kAbortContext = "Cancel at Extract-7Zip Time";

// The visible dialog (WINDOWHANDLE, decimal; "0" or anything else: none).
HWND visibleDialog(const CommandContext& context) {
  std::string text = context.readVariable("WINDOWHANDLE");
  uintptr_t handle = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), handle);
  if (error != std::errc() || end != text.data() + text.size()) return nullptr;
  return reinterpret_cast<HWND>(handle);
}

bool cancelRequested(const CommandContext& context) { return TextToBool(context.readVariable("KELD_IsCancelled")); }

// ABORTONERROR is "TRUE" until the script says otherwise.
bool abortOnError(CommandContext& context) {
  std::optional<std::string> value = context.variables().Find("ABORTONERROR");
  return !value || TextToBool(*value);
}

}  // namespace

void extract7ZipArchive(CommandContext& context) {
  media::DirectExtractSettings settings;
  settings.archivePath = context.pathValue(1);
  settings.targetFolder = context.pathValue(2);
  const std::string resultName = plainName(context.parameter(3));
  settings.password = context.expanded(4);
  settings.keepFolders = context.flag(5);
  settings.replaceExisting = context.flag(6);
  settings.ownerWindow = visibleDialog(context);
  settings.percentSuffix = media::percentCompleteText();

  media::TDirectExtractMedia worker(
      settings, [&context](const std::string& text, int64_t minimum, int64_t maximum, int64_t position) {
        context.reportProgress(text, minimum, maximum, position);
      });
  worker.start();
  bool cancelled = media::waitForWorker(
      worker, [&context] { return cancelRequested(context); },
      [&context] {
        // The watchdog measures from here: the worker gets its time to stop.
        context.writeVariable("KELD_LastActiveTick", context.readVariable("KELD_LastDelegateTick"), kAbortContext);
      },
      [&context] { context.waitStep(); });

  // Also after a cancel, so the result never keeps an earlier "SUCCESS".
  context.writeResult(resultName, worker.result() ? "SUCCESS" : worker.errorText());
  if (!cancelled) return;
  if (abortOnError(context)) throw EngineError("Setup cancelled");
  context.writeVariable("ABORTEDONERROR", "TRUE", kAbortContext);
}

}  // namespace kox
