// The SystemProbe of the Windows builds: each question answered by the
// system at the moment it is asked.
#pragma once

#include <windows.h>

#include "engine/script/values/system_settings.h"

namespace kox::win {

class WindowsSystemProbe : public SystemProbe {
 public:
  // registryView: the access-rights addition for registry reads (the view
  // of the platform mode, see RegistryViewForCommand).
  explicit WindowsSystemProbe(REGSAM registryView = 0) : registryView_(registryView) {}

  WindowsVersion windowsVersion() override;
  uint64_t physicalMemoryBytes() override;
  ScreenSize screenSize() override;
  int colourDepth() override;
  int horizontalDpi() override;
  bool memberOf(UserGroup group) override;
  std::optional<uint32_t> systemLanguageId() override;
  std::string languageName(uint32_t languageId) override;
  std::optional<std::string> machineText(std::string_view key, std::string_view value) override;
  std::optional<uint32_t> machineNumber(std::string_view key, std::string_view value) override;
  std::optional<DottedVersion> systemFileVersion(std::string_view fileName) override;
  std::string webAnonymousUser() override;
  std::string userName() override;
  std::string computerName() override;
  std::string userDomain() override;
  bool isWow64() override;
  bool systemMetricSet(SystemMetricFlag flag) override;
  bool insideVmware() override;
  bool insideVirtualPc() override;
  std::string nativeArchitecture() override;
  bool tokenElevated() override;

 private:
  REGSAM registryView_;
};

// GetVersionExA with the product type and the service-pack text.
WindowsVersion QueryWindowsVersion();

// The system folder ("C:\WINDOWS\system32", no trailing "\").
std::string SystemFolder();

// The hypervisor vendor text of CPUID leaf 0x40000000 ("VMwareVMware",
// "Microsoft Hv" ...), empty when the processor reports no hypervisor.
std::string HypervisorVendor();

}  // namespace kox::win
