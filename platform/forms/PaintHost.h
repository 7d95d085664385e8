// A control whose drawing and mouse input belong to someone else: a chart
// panel draws into a kept picture, and the host copies that picture to the
// screen in its paint event.
#pragma once

#include "platform/forms/Controls.h"

class QImage;

namespace forms {

enum class TMouseButton { mbLeft, mbRight, mbMiddle };

// Bit flags of the keys and buttons held during a mouse event.
enum TShiftFlags : unsigned {
  ssShift = 1,
  ssAlt = 2,
  ssCtrl = 4,
  ssLeft = 8,
  ssRight = 16,
  ssMiddle = 32,
  ssDouble = 64
};
using TShiftState = unsigned;

// What the host asks of its client. Coordinates are client pixels.
class IPaintHostClient {
public:
  virtual ~IPaintHostClient() = default;
  // Bring the kept picture up to date for the area; the host then copies it.
  virtual void HostPaint(int left, int top, int right, int bottom) = 0;
  virtual void HostResize(int width, int height) = 0;
  virtual void HostMouseDown(TMouseButton button, TShiftState shift, int x, int y) = 0;
  virtual void HostMouseMove(TShiftState shift, int x, int y) = 0;
  virtual void HostMouseUp(TMouseButton button, TShiftState shift, int x, int y) = 0;
  // delta in wheel steps of 120, positive away from the user.
  virtual void HostMouseWheel(int delta, TShiftState shift, int x, int y) = 0;
  virtual void HostDoubleClick(TShiftState shift, int x, int y) = 0;
  virtual void HostMouseLeave() = 0;
};

class TPaintHost : public TControl {
public:
  explicit TPaintHost(TWinControl *parent = nullptr);
  ~TPaintHost() override;
  std::string_view ClassName() const override { return "TPaintHost"; }
  // The client is not owned; nullptr detaches it.
  void SetClient(IPaintHostClient *client);
  IPaintHostClient *Client() const { return client_; }
  // Asks for a paint when the window system gets to it.
  void Invalidate();
  // Paints now.
  void Repaint();
  // The surface the host copies; for platform code (see PaintHostQt.h).
  void *SurfaceHandle() const { return surface_; }

private:
  class HostWidget;
  friend class HostWidget;
  friend void SetHostSurface(TPaintHost &, const QImage *);
  IPaintHostClient *client_ = nullptr;
  void *surface_ = nullptr;
};

} // namespace forms
