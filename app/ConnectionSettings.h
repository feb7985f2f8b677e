// The rules of ConnSettings.dat, without any window: one token and nothing else, "378" for LPT1,
// "278" for LPT2, or the custom address as typed; read as a hexadecimal port address.
#pragma once

#include <cstdint>
#include <filesystem>
#include <istream>
#include <optional>
#include <string>
#include <string_view>

inline constexpr uint32_t kLpt1Base = 0x378;
inline constexpr uint32_t kLpt2Base = 0x278;
// A longer token is unusable: it cannot be an address anybody typed.
inline constexpr std::size_t kMaxTokenLength = 64;

// The port choices of the connection settings dialog, numbered as its radio group.
enum PortChoice : int { kChoiceLpt1 = 0, kChoiceLpt2 = 1, kChoiceCustom = 2, kChoiceUsb = 3 };

// The token of the USB cable: "usb" for the first one found, "usb:SERIAL" for the one with that
// serial number. Its first letter is no hexadecimal digit, so the address rules read it as no
// address: an older copy of the tool keeps its port. Only this spelling counts; the
// custom-address box writes capitals, so an address typed there never reads as it.
inline constexpr const char* kUsbToken = "usb";
bool IsUsbToken(std::string_view token);
// The serial number a USB token names; empty for "usb".
std::string UsbSerialOf(std::string_view token);
std::string UsbTokenFor(const std::string& serial);

// The first white-space-delimited token of `in`, or a single blank when there is none; its text
// ends at a NUL (a word that starts with one gives an empty token). Reads at most one character
// beyond kMaxTokenLength, so a huge file costs nothing. The token's bytes are characters one for
// one (Latin-1).
std::string ReadConnectionToken(std::istream& in);

// The port address `token` names: white space skipped, an optional sign, an optional "0x" or
// "0X", then hexadecimal digits up to the first other character (no digits read as 0). Accepted
// only when, as a signed 32-bit number, it is above zero; too many digits for 32 bits read as the
// largest value and so are refused, and so is a token longer than kMaxTokenLength.
std::optional<uint32_t> ParseConnectionToken(std::string_view token);

// The token of the connection settings file `file`, read as ReadConnectionToken does; nothing
// when it is not a regular file that can be opened (a folder reads as nothing, and a named pipe
// would wait for a writer forever).
std::optional<std::string> ReadConnectionFile(const std::filesystem::path& file);

// Puts the choice `token` names in use: `bUsbCable` and `usbCableSerial` for a USB cable's
// token, and `base` when it names a usable address (otherwise `base` keeps its value).
void UseConnectionToken(const std::string& token);

// "378" for 0x378: lower-case hexadecimal digits without a prefix.
std::string FormatPortToken(uint32_t address);

// What saving a choice writes into the file, and the port address it gives: the token as typed
// for a custom address, whose address is 0x378 when the token is unusable.
struct SavedChoice {
  std::string token;
  uint32_t address = kLpt1Base;
  bool usb = false;  // the USB cable: `base` is left as it is
  std::string serial;  // the USB cable's serial number; empty for the first found
};
// `usbSerial` is the USB cable chosen, empty for the first one found.
SavedChoice ChoiceToSave(int choice, const std::string& customText,
                         const std::string& usbSerial = {});

// The last choice Save could not write, if any: it stays in use until the tool closes, so the
// connection settings window shows it again instead of what the file says.
extern std::optional<SavedChoice> unsavedPortChoice;

// The radio button that shows `address`: LPT1, LPT2 or Custom.
int ChoiceForBase(uint32_t address);
