#include "platform/HardwarePort.h"

#include <windows.h>

#include <cstdio>

#include "platform/WideTextWindows.h"

namespace {

// A 64-bit program can load only the 64-bit build of the port driver DLL; the 32-bit name is
// tried too, since some packages give their 64-bit build that name.
constexpr const char* kDefaultDlls[] = {"inpoutx64.dll", "inpout32.dll"};

// The DLL's exports as its documentation gives them: 16-bit port numbers and values.
using Out32Function = void(WINAPI*)(short port, short value);
using Inp32Function = short(WINAPI*)(short port);
using DriverOpenFunction = BOOL(WINAPI*)();

// GetProcAddress gives a generic function pointer; the DLL's own types are cast back through the
// one type GCC accepts casts from.
template <typename Function>
Function Export(HMODULE module, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

// Loads `name` and checks that it can drive the port; false with the reasons when it cannot.
// `missing` tells a DLL that is not there from one that is there but unusable.
bool TryPortDll(const std::string& name, HMODULE& module, std::string& line, std::string& user,
                bool& missing) {
  missing = false;
  // Beside the tool and in Windows' own folders only: not the folder the tool was started in,
  // where any DLL of that name could have been left.
  module = LoadLibraryExW(Widen(name).c_str(), nullptr, LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
  if (module == nullptr) {
    const DWORD error = GetLastError();
    missing = error == ERROR_MOD_NOT_FOUND || error == ERROR_FILE_NOT_FOUND;
    if (error == ERROR_BAD_EXE_FORMAT) {
      line = name + " cannot be loaded: it is not a 64-bit DLL; this tool needs inpoutx64.dll";
      user = name + " is not the 64-bit port driver this tool needs. Put inpoutx64.dll beside " +
             "the program instead, then try again.";
    } else {
      line = name + " cannot be loaded (Windows error " + std::to_string(error) + ")";
      user = "The port driver " + name + " cannot be loaded (Windows error " +
             std::to_string(error) + ").";
    }
    return false;
  }
  if (GetProcAddress(module, "Out32") == nullptr || GetProcAddress(module, "Inp32") == nullptr) {
    line = name + " has no Out32 and Inp32, so it is not a port driver DLL";
    user = name + " is not the port driver DLL (it has no Out32 and Inp32).";
    FreeLibrary(module);
    module = nullptr;
    return false;
  }
  // The DLL installs its kernel driver the first time it runs with administrator rights; until
  // then its calls do nothing.
  const auto driverOpen = Export<DriverOpenFunction>(module, "IsInpOutDriverOpen");
  if (driverOpen != nullptr && !driverOpen()) {
    line = name +
           " is loaded, but its driver is not running; start the tool once as "
           "administrator so that it can install the driver";
    user = name + " is there, but its driver is not running. Start the tool once as " +
           "administrator (right click, \"Run as administrator\") so that it can install it.";
    FreeLibrary(module);
    module = nullptr;
    return false;
  }
  return true;
}

}  // namespace

struct HardwarePort::PortDll {
  // Loads the first of `names` that can drive the port, or keeps why none can.
  PortDll(const std::vector<std::string>& names, const PortChoiceWords& words);
  PortDll(const PortDll&) = delete;
  PortDll& operator=(const PortDll&) = delete;
  ~PortDll() {
    if (module != nullptr) FreeLibrary(module);
  }
  bool Loaded() const { return module != nullptr; }

  HMODULE module = nullptr;
  Out32Function out = nullptr;
  Inp32Function in = nullptr;
  // Why no DLL could be used: the line for standard error and the user's words.
  std::string line;
  std::string user;
};

HardwarePort::PortDll::PortDll(const std::vector<std::string>& names,
                               const PortChoiceWords& words) {
  std::string firstMissing;
  for (const std::string& name : names) {
    std::string nameLine;
    std::string nameUser;
    bool missing = false;
    if (TryPortDll(name, module, nameLine, nameUser, missing)) {
      out = Export<Out32Function>(module, "Out32");
      in = Export<Inp32Function>(module, "Inp32");
      line.clear();
      user.clear();
      return;
    }
    if (missing) {
      if (firstMissing.empty()) firstMissing = name;
    } else if (line.empty()) {
      // One that is there but unusable says more than one that is not there at all.
      line = nameLine;
      user = nameUser;
    }
  }
  if (line.empty()) {
    line = "no port driver: " + firstMissing +
           " was found neither beside the program nor in Windows' own folders; put it beside the "
           "program, or " +
           words.simulate + " to use the simulated board";
    user = "The parallel port needs the port driver " + firstMissing +
           ", which was not found. Put it beside the program, then try again.";
  }
}

HardwarePort::HardwarePort(const uint32_t& base, HardwarePortOptions options)
    : base_(base), options_(std::move(options)) {
  if (!options_.report) options_.report = ReportToStderr;
  if (options_.portDlls.empty()) {
    options_.portDlls.assign(std::begin(kDefaultDlls), std::end(kDefaultDlls));
  }
  dll_ = std::make_shared<PortDll>(options_.portDlls, PortChoiceSeam().Get());
}

HardwarePort::~HardwarePort() {
  Close();
}

void HardwarePort::Close() {
  kind_ = Kind::Absent;
  openedBase_.reset();
}

bool HardwarePort::OpenSystemPort(uint32_t address, Failure& failure) {
  // A DLL put in place since the start is taken at the next board run.
  if (!dll_->Loaded()) dll_ = std::make_shared<PortDll>(options_.portDlls, PortChoiceSeam().Get());
  if (!dll_->Loaded()) {
    failure.line = dll_->line;
    failure.user = dll_->user;
    return false;
  }
  if (address > 0xFFFF - 2) {
    const PortChoiceWords& words = PortChoiceSeam().Get();
    failure.line = "no parallel port at " + Hex(address) + " (port addresses end at 0xFFFF); " +
                   "choose the port " + words.choose;
    failure.user = "This computer has no parallel port at " + Hex(address) + ". Choose the port " +
                   words.choose + ".";
    return false;
  }
  kind_ = Kind::DirectIo;
  return true;
}

void HardwarePort::Write(uint16_t port, uint8_t value) {
  if (Access() == Kind::Absent) return absent_.Write(port, value);
  if (port == kDelayPort || (port >= *openedBase_ && port <= *openedBase_ + 2)) {
    dll_->out(static_cast<short>(port), static_cast<short>(value));
  }
}

uint8_t HardwarePort::Read(uint16_t port) {
  if (Access() == Kind::Absent) return absent_.Read(port);
  if (port < *openedBase_ || port > *openedBase_ + 2) return 0xFF;
  return static_cast<uint8_t>(dll_->in(static_cast<short>(port)) & 0xFF);
}

void HardwarePort::Delay(uint32_t units) {
  if (Access() == Kind::Absent) return absent_.Delay(units);
  for (uint32_t i = 0; i < units; ++i) dll_->out(static_cast<short>(kDelayPort), 0);
}
