#include "analyzer/resend.h"

#include <cstdio>

#include "analyzer/command_catalogue.h"

namespace analyzer {

bool CheckedFrameOf(const CollectedFrame& f, CheckedFrame* out) {
  CheckedFrame w;
  switch (f.kind) {
    case FrameKind::RunHeader:
      w = CheckedFrame::RunHeader;
      break;
    case FrameKind::Histogram:
      if (f.channel() == ChannelWbc) w = CheckedFrame::WbcHistogram;
      else if (f.channel() == ChannelRbc) w = CheckedFrame::RbcHistogram;
      else if (f.channel() == ChannelPlt) w = CheckedFrame::PltHistogram;
      else return false;
      break;
    case FrameKind::Command:
      if (f.cls() == FrameClassStatus && f.command() == status::CountKey) w = CheckedFrame::CountKey;
      else if (f.cls() != FrameClassCommand) return false;
      else if (f.command() == cmd::StartWholeBlood || f.command() == cmd::StartPrediluted ||
               f.command() == cmd::StartPeripheral)
        w = CheckedFrame::StartAck;
      else if (f.command() == cmd::NextCount) w = CheckedFrame::NextCountAck;
      else if (f.command() == cmd::EndOfCount) w = CheckedFrame::EndOfCountAck;
      else return false;
      break;
    default:
      return false;
  }
  if (out) *out = w;
  return true;
}

std::string ChecksumLogLine(CheckedFrame which, const CollectedFrame& f) {
  char line[96];
  const unsigned c = f.check, hi = f.histogramChecks.odd, lo = f.histogramChecks.even;
  switch (which) {
    case CheckedFrame::CountKey: std::snprintf(line, sizeof line, "TestChksum=%02x", c); break;
    case CheckedFrame::StartAck: std::snprintf(line, sizeof line, "QDsuccessChksum=%02x", c); break;
    case CheckedFrame::NextCountAck: std::snprintf(line, sizeof line, "ReTestChecksum=%02x", c); break;
    case CheckedFrame::EndOfCountAck: std::snprintf(line, sizeof line, "TestFinishchksum=%02x", c); break;
    case CheckedFrame::RunHeader: std::snprintf(line, sizeof line, "HGBchksum=%02x", c); break;
    case CheckedFrame::WbcHistogram:
      std::snprintf(line, sizeof line, "WBCchkHigh=%02x WBCchkLow=%02x", hi, lo);
      break;
    case CheckedFrame::RbcHistogram:
      std::snprintf(line, sizeof line, "RBCchkHigh=%02x RBCchkLow=%02x", hi, lo);
      break;
    case CheckedFrame::PltHistogram:
      std::snprintf(line, sizeof line, "PLTchkHigh=%02x PLTchkLow=%02x", hi, lo);
      break;
  }
  return line;
}

std::string ChecksumMessage(CheckedFrame which, int language) {
  const bool zh = language == 0;
  switch (which) {
    case CheckedFrame::CountKey: return zh ? "测试指令校验错误！" : "Test instruction checksum error！";
    case CheckedFrame::StartAck: return zh ? "执行指令校验错误！" : "execute instruction checksum error！";
    case CheckedFrame::NextCountAck: return zh ? "重测指令校验错误！" : "Retest instruction checksum error！";
    case CheckedFrame::EndOfCountAck: return zh ? "测试完成确认帧校验错误！" : "Test finish instruction checksum error！";
    case CheckedFrame::RunHeader: return zh ? "血红蛋白数据校验错误！" : "HGB data checksum error！";
    case CheckedFrame::WbcHistogram: return zh ? "白细胞数据校验错误！" : "WBC data checksum error！";
    case CheckedFrame::RbcHistogram: return zh ? "红细胞数据校验错误！" : "RBC data checksum error！";
    case CheckedFrame::PltHistogram: return zh ? "血小板数据校验错误！" : "PLT data checksum error！";
  }
  return {};
}

}  // namespace analyzer
