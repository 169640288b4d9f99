// Dragging the selected cells' text from one of our grids to a cell of this or another
// grid. Every grid window is a drop target while it exists; the grid that started the
// drag keeps the pointer captured and finds the target under it.
#include <algorithm>
#include <vector>

#include "controls/grid/grid_ctrl.h"

namespace {
std::vector<CGridCtrl*>& DropTargets() {
  static std::vector<CGridCtrl*> targets;
  return targets;
}

CGridCtrl* TargetAt(draw::Point screen) {
  auto& all = DropTargets();
  for (auto it = all.rbegin(); it != all.rend(); ++it) {
    CGridCtrl* g = *it;
    if (g->IsWindow() && g->IsWindowVisible() && g->GetWindowRect().Contains(screen)) return g;
  }
  return nullptr;
}

int EffectFor(unsigned keyFlags) { return (keyFlags & ui::MK_CONTROL) ? CGridCtrl::kDropCopy : CGridCtrl::kDropMove; }
}  // namespace

void RegisterGridDropTarget(CGridCtrl* grid, bool on) {
  auto& all = DropTargets();
  all.erase(std::remove(all.begin(), all.end(), grid), all.end());
  if (on) all.push_back(grid);
}

int CGridCtrl::OnDragEnter(bool hasText, unsigned keyFlags, draw::Point pt) {
  if (!dragDropEnabled_ || !hasText) return kDropNone;
  lastDragOverCell_ = HitTestCell(pt, true);
  if (!IsValidCell(lastDragOverCell_) || !IsCellEditable(lastDragOverCell_.row, lastDragOverCell_.col)) return kDropNone;
  SetCellState(lastDragOverCell_.row, lastDragOverCell_.col,
               GetCellState(lastDragOverCell_.row, lastDragOverCell_.col) | GVIS_DROPHILITED);
  RedrawCell(lastDragOverCell_.row, lastDragOverCell_.col);
  return EffectFor(keyFlags);
}

int CGridCtrl::OnDragOver(bool hasText, unsigned keyFlags, draw::Point pt) {
  if (!dragDropEnabled_ || !editable_ || !hasText) return kDropNone;
  const CCellID cell = HitTestCell(pt, true);
  if (!IsValidCell(cell)) {
    OnDragLeave();
    lastDragOverCell_ = CCellID();
    return kDropNone;
  }
  if (!IsCellEditable(cell.row, cell.col)) return kDropNone;
  if (cell != lastDragOverCell_) {
    OnDragLeave();
    lastDragOverCell_ = cell;
    SetCellState(cell.row, cell.col, GetCellState(cell.row, cell.col) | GVIS_DROPHILITED);
    RedrawCell(cell.row, cell.col);
  }
  return EffectFor(keyFlags);
}

void CGridCtrl::OnDragLeave() {
  if (!IsValidCell(lastDragOverCell_)) return;
  SetCellState(lastDragOverCell_.row, lastDragOverCell_.col,
               GetCellState(lastDragOverCell_.row, lastDragOverCell_.col) & ~GVIS_DROPHILITED);
  RedrawCell(lastDragOverCell_.row, lastDragOverCell_.col);
}

bool CGridCtrl::OnDrop(const std::string& text, int, draw::Point) {
  mouseMode_ = 0;
  if (!dragDropEnabled_ || !editable_ || !IsValidCell(lastDragOverCell_)) return false;
  if (GetCellState(lastDragOverCell_.row, lastDragOverCell_.col) & GVIS_READONLY) return false;
  OnDragLeave();
  return PasteTextAt(lastDragOverCell_.row, lastDragOverCell_.col, text, false);
}

void CGridCtrl::BeginDrag() {
  if (!dragDropEnabled_) return;
  auto text = BuildClipboardText();
  if (!text) return;
  const CCellSpan sel = GetSelectedCellRange();
  NotifyParent(sel.GetMinRow(), sel.GetMinCol(), GVN_BEGINDRAG);
  mouseMode_ = 12;
  leftButtonDown_ = false;
  dragText_ = *text;
  dragTarget_ = nullptr;
  dragEffect_ = kDropNone;
  if (GetCapture() != this) SetCapture();
}

void CGridCtrl::DragTo(unsigned flags, draw::Point pt) {
  const draw::Point screen = ClientToScreen(pt);
  CGridCtrl* target = TargetAt(screen);
  if (target != dragTarget_) {
    if (dragTarget_) dragTarget_->OnDragLeave();
    dragTarget_ = target;
    dragEffect_ = target ? target->OnDragEnter(true, flags, target->ScreenToClient(screen)) : kDropNone;
  } else if (target) {
    dragEffect_ = target->OnDragOver(true, flags, target->ScreenToClient(screen));
  }
}

void CGridCtrl::FinishDrag(draw::Point pt) {
  CGridCtrl* target = dragTarget_;
  const int effect = dragEffect_;
  const std::string text = std::move(dragText_);
  dragTarget_ = nullptr;
  dragEffect_ = kDropNone;
  dragText_.clear();
  if (!target || effect == kDropNone) {
    if (target) target->OnDragLeave();
    return;
  }
  const draw::Point screen = ClientToScreen(pt);
  const bool dropped = target->OnDrop(text, effect, target->ScreenToClient(screen));
  if (dropped && effect == kDropMove && target != this) EraseSelectedCells();
  if (target->IsWindow()) target->Invalidate(true);
}

void CGridCtrl::CancelDrag() {
  if (dragTarget_) dragTarget_->OnDragLeave();
  dragTarget_ = nullptr;
  dragEffect_ = kDropNone;
  dragText_.clear();
}
