#pragma once
// The base of everything drawn in a chart: its rectangle, selection, visibility and colour.
#include "platform/ui/draw/color.h"
#include "platform/ui/draw/dc.h"
#include "platform/ui/draw/geometry.h"

class CXGraph;

class CXGraphObject {
 public:
  explicit CXGraphObject(CXGraph* graph = nullptr) : m_graph(graph) {}
  virtual ~CXGraphObject() = default;
  CXGraphObject(const CXGraphObject&) = delete;
  CXGraphObject& operator=(const CXGraphObject&) = delete;

  draw::Rect GetRect() const { return m_rect; }
  void SetRect(const draw::Rect& r) { m_rect = r; }
  bool GetSelected() const { return m_selected; }
  void SetSelected(bool s) { m_selected = s; }
  bool GetVisible() const { return m_visible; }
  void SetVisible(bool v) { m_visible = v; }
  draw::Color GetColor() const { return m_color; }
  void SetColor(draw::Color c) { m_color = c; }
  CXGraph* GetGraph() const { return m_graph; }

  // Derived classes draw themselves and may offer editing; the base does nothing.
  virtual void Draw(draw::DC* dc) {}
  virtual void Edit() {}
  virtual void EndEdit() {}
  virtual void InvokeProperties() {}

 protected:
  draw::Rect m_rect;
  bool m_selected = false;
  bool m_visible = true;
  draw::Color m_color = draw::kBlack;
  CXGraph* m_graph = nullptr;
};
