#pragma once
// Data exchange between a dialog's members and its controls, with the range and "enter a
// number" prompts. DoDataExchange calls these for each control; the direction is the
// exchange's: towards the controls (false) or back into the members with checks (true).
#include <cstdint>
#include <string>

namespace ui {

class Dialog;
class Window;

class DataExchange {
 public:
  DataExchange(Dialog* dialog, bool saveAndValidate) : dialog_(dialog), save_(saveAndValidate) {}
  bool SaveAndValidate() const { return save_; }
  Dialog* GetDialog() const { return dialog_; }
  bool Failed() const { return failed_; }
  // The control the following checks refer to (focused when a check fails).
  Window* PrepareControl(int id);
  // Shows `prompt`, focuses the last prepared control and marks the exchange failed. Later
  // exchanges of the same run are skipped.
  void Fail(const std::string& prompt);

 private:
  Dialog* dialog_;
  bool save_;
  bool failed_ = false;
  Window* last_ = nullptr;
};

// Binds a member control object to the template's control `id` (it takes the control over).
void ExchangeControl(DataExchange& dx, int id, Window& control);
void ExchangeText(DataExchange& dx, int id, std::string& value);
void ExchangeText(DataExchange& dx, int id, int& value);
void ExchangeText(DataExchange& dx, int id, unsigned& value);
void ExchangeText(DataExchange& dx, int id, long& value);
void ExchangeText(DataExchange& dx, int id, int16_t& value);
void ExchangeText(DataExchange& dx, int id, uint8_t& value);   // 0..255
void ExchangeText(DataExchange& dx, int id, float& value);     // 6 significant digits
void ExchangeText(DataExchange& dx, int id, double& value);    // 15 significant digits
void ExchangeCheck(DataExchange& dx, int id, int& value);
// The radio group that starts at `firstId`: the index of the checked button, -1 for none.
void ExchangeRadio(DataExchange& dx, int firstId, int& value);
void ExchangeComboIndex(DataExchange& dx, int id, int& index);
void ExchangeComboText(DataExchange& dx, int id, std::string& value);
void ExchangeListIndex(DataExchange& dx, int id, int& index);

void ValidateMaxChars(DataExchange& dx, const std::string& value, int maxChars);
void ValidateRange(DataExchange& dx, int value, int minValue, int maxValue);
void ValidateRange(DataExchange& dx, long value, long minValue, long maxValue);
void ValidateRange(DataExchange& dx, unsigned value, unsigned minValue, unsigned maxValue);
void ValidateRange(DataExchange& dx, uint8_t value, uint8_t minValue, uint8_t maxValue);
void ValidateRange(DataExchange& dx, float value, float minValue, float maxValue);
void ValidateRange(DataExchange& dx, double value, double minValue, double maxValue);

// Parsing as the exchange does it (surrounding blanks allowed, nothing else).
bool ParseInteger(const std::string& text, long long& out);
bool ParseReal(const std::string& text, double& out);
std::string FormatReal(double v, int significantDigits);

}  // namespace ui
