#pragma once
// The QC settings as HL7 settings messages to the LIS, built from what is saved (never from the
// edits the operator may have changed since), and the one send the three settings screens share:
// it waits for the LIS's acknowledgement and tells the operator how the transfer really went.
#include <array>
#include <memory>
#include <string>

#include "analyzer/serial_port.h"
#include "core/ado_conn.h"

#include "lis/lis_send.h"
#include "platform/ui/window.h"
#include "qc/lj_tables.h"

namespace qc {

// L-J: the file number, batch and expiry date as identity texts 1..3; per parameter in table
// order its target and its limit as the screen shows a saved value ("%g", empty when not set);
// the units (table order) with every "^" written "x".
lis::QcMessageRecord LjSettingsLisRecord(const LjFileSettings& saved, const std::array<std::string, 20>& unitsStore);
// X-B: no identity; the 40 saved values (table order, target before limit) as "%.2f"; the units
// with every "^" written "x". The sample number is not part of the message.
lis::QcMessageRecord XbSettingsLisRecord(const std::array<float, 40>& savedStore, const std::array<std::string, 20>& unitsStore);
// X-R: the file number, the saved batch and expiry date as identity texts 1..3, the units as they are.
lis::QcMessageRecord XrSettingsLisRecord(int fileNo, const std::string& batch, const std::string& expDate,
                                         const std::array<std::string, 20>& unitsStore);

// How a settings transfer ended, for the operator.
enum class SettingsSendResult { Finished, NotConnected, Failed };
// Sends the message on the LIS link and waits for its acknowledgement. "Data transfer finished!"
// only after the LIS accepted it (AA naming this message); a link that is down shows
// "Fail to connect LIS"; a refusal, a missing reply or a broken send show "Data transfer
// failed!" with the reason.
SettingsSendResult SendSettingsToLis(ui::Window* owner, const lis::LisMessage& message, int language);

// The LIS serial port of a settings screen, opened at its first send into `port`: true when it is
// open; otherwise the operator reads "Failed to initialize communications COM port!" and the Send
// button is disabled.
bool OpenSettingsLisPort(ui::Window* owner, CADOConn& conn, std::unique_ptr<analyzer::CSerialPort>& port,
                         ui::Window& sendButton, int language);
// Queues a settings text record on the LIS serial port and tells the operator how it went.
void QueueSettingsRecord(ui::Window* owner, analyzer::CSerialPort& port, const std::string& record, int language);

// The information and warning texts of a transfer.
std::string TransferFinishedText(int language);
std::string TransferFailedText(int language);
// "No data in current QC file!": the shown file has no saved settings.
std::string NoDataInFileText(int language);

}  // namespace qc
