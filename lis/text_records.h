#pragma once
// The serial text records of the LIS serial link: comma-separated fields, every field (the
// prefix too) followed by ",", most kinds closed by a 16-bit checksum field "%d,". The records
// go on the wire in the ANSI code page of the language; the checksum is the sum, modulo 65536,
// of the bytes actually sent before it.
//
// A comma inside a field's text would shift every later field, so it is sent as ';'.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace analyzer {
class CSerialPort;
}

namespace lis {

inline constexpr const char* kTransferFinish = "TRANSFER FINISH";

// The sum of the bytes modulo 65536.
uint16_t RecordChecksum(std::string_view bytes);

// Builds one record: the prefix and fields as UTF-8 text, encoded when finished.
class TextRecord {
 public:
  explicit TextRecord(std::string_view prefix);  // "R", "W", "M", "LJR" ...
  TextRecord& Add(std::string_view field);       // the field and its comma (commas in it become ';')
  TextRecord& Add(int value);                    // "%d"
  TextRecord& AddTenth(float value);             // "%.1f"
  const std::string& Text() const { return text_; }
  // The bytes to send: the text in the language's code page, then the checksum "%d,".
  std::string WithChecksum(int language) const;
  // The same for the table kinds: the checksum "%d" directly followed by ",TRANSFER FINISH".
  std::string WithChecksumAndFinish(int language) const;
  // Without checksum (the "M," record).
  std::string Plain(int language) const;

 private:
  std::string text_;
};

// The fields of one sample's "R," record.
struct SampleRecordFields {
  std::string sampleNo, testDate, testTime, name, sex, age, ageUnit, sampleType, group, medicalNo, bedNo, dept,
      sender, scrutator, checker;
  std::string values[20];  // table order, cleaned
  std::string units[20];   // table order
};
TextRecord SampleRecord(const SampleRecordFields& f);
// One "W," record: kind 1 WBC, 2 RBC, 3 PLT; the divider lines in fL; the bins (0-255); PLT
// records are padded with empty fields to 256 bin fields.
TextRecord HistogramRecord(const std::string& sampleNo, const std::string& testDate, int kind,
                           const std::vector<float>& lines, const uint8_t* bins, int binCount);
// The "M," record of the warning text.
TextRecord WarningRecord(const std::string& warning);
// A QC run record ("LJR", "XBR", "XRR"): file number (when given), date, time, then the 20
// name/value pairs in the message parameter order.
TextRecord QcRunRecord(std::string_view prefix, const std::string* fileNo, const std::string& date,
                       const std::string& time, const std::string values[20]);

// Cleans a result text for sending: only the part before a blank after the first character,
// without a leading "*", "e", "E" or "!"; "-" (and "- - -") become empty.
std::string CleanResultText(const std::string& text);

// Writes the bytes on the port as one record, whole and after the records before it: what the
// device did not take within the port's write time-out (a LIS that stopped reading) is written
// again from where it stopped, and a full queue is waited for, as long as the LIS takes bytes
// again within SerialPatienceMs. False when it did not, or the port is closed: the record did
// not reach the line whole (reported on the debug output; the caller tells the operator).
// `patienceMs` below 0 takes SerialPatienceMs.
bool QueueRecord(analyzer::CSerialPort& port, const std::string& bytes, int patienceMs = -1);
// How long a record may wait for the LIS to take any byte of it (30000 ms); tests shorten it.
void SetSerialPatienceMs(int ms);
int SerialPatienceMs();

}  // namespace lis
