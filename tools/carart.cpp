// Draws the default train set's car bitmaps.
//   carart STOCK_LIST OUTPUT_FOLDER [ICON_FOLDER]
//
// Each kind of car is drawn in units of its outline (a coach is 64 x 16 units, the coupler
// bellows 6 x 16) at 8 pixels a unit, with antialiasing, shading and detail enough to be shown
// at full view height in the departure run. The outline keeps the proportions the game's image
// rules classify by: the bellows stay narrower than half their height.
//
// With ICON_FOLDER, also writes the program's icon as PNG files of 16 to 256 pixels.
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int kScale = 8;
constexpr double kHeight = 16;
constexpr double kRail = 16;  // wheels stand on the bottom edge

struct Colours {
  QColor body{90, 90, 90}, roof{70, 70, 70}, stripe{200, 200, 200}, window{200, 230, 255};
};

const QColor kSteel(52, 54, 58);
const QColor kDark(26, 27, 30);
const QColor kWheel(40, 40, 44);

QColor Shade(const QColor& c, int percent) { return percent >= 100 ? c.lighter(percent) : c.darker(10000 / percent); }

// A vertical gradient that lights the top of a surface and shades its foot.
QBrush Lit(const QColor& c, double y0, double y1) {
  QLinearGradient g(0, y0, 0, y1);
  g.setColorAt(0, Shade(c, 135));
  g.setColorAt(0.18, Shade(c, 112));
  g.setColorAt(0.6, c);
  g.setColorAt(1, Shade(c, 70));
  return g;
}

// Glass: sky at the top fading down, with a pale diagonal glint.
void Window(QPainter& p, const QRectF& r, const QColor& glass, double radius = 0.25) {
  p.setPen(QPen(kDark, 0.12));
  QLinearGradient g(r.topLeft(), r.bottomLeft());
  g.setColorAt(0, Shade(glass, 118));
  g.setColorAt(1, Shade(glass, 62));
  p.setBrush(g);
  p.drawRoundedRect(r, radius, radius);
  p.setPen(QPen(QColor(255, 255, 255, 110), 0.18));
  p.drawLine(QPointF(r.left() + r.width() * 0.25, r.top() + 0.2),
             QPointF(r.left() + r.width() * 0.05, r.bottom() - 0.2));
}

// A wheel on the rail: tyre, disc, hub; spokes for the big wheels of a steam locomotive.
void Wheel(QPainter& p, double cx, double r, int spokes = 0, const QColor& rim = kWheel) {
  const double cy = kRail - r;
  p.setPen(QPen(kDark, 0.15));
  QRadialGradient g(cx - r * 0.3, cy - r * 0.3, r * 1.3);
  g.setColorAt(0, QColor(110, 110, 116));
  g.setColorAt(1, kWheel);
  p.setBrush(g);
  p.drawEllipse(QPointF(cx, cy), r, r);
  p.setBrush(rim);
  p.setPen(Qt::NoPen);
  if (spokes > 0) {
    p.setPen(QPen(Shade(rim, 120), 0.22));
    for (int i = 0; i < spokes; ++i) {
      const double a = M_PI * 2 * i / spokes;
      p.drawLine(QPointF(cx, cy), QPointF(cx + std::cos(a) * r * 0.82, cy + std::sin(a) * r * 0.82));
    }
    p.setPen(QPen(Shade(rim, 110), 0.3));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(cx, cy), r * 0.86, r * 0.86);
  }
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(150, 150, 156));
  p.drawEllipse(QPointF(cx, cy), r * 0.28, r * 0.28);
}

// A bogie of `axles` wheels around cx: frame, springs and axle boxes.
void Bogie(QPainter& p, double cx, int axles = 2, double r = 1.35) {
  const double pitch = r * 2.35;
  const double first = cx - pitch * (axles - 1) / 2;
  for (int i = 0; i < axles; ++i) Wheel(p, first + pitch * i, r);
  const double y = kRail - r * 1.55;
  p.setPen(QPen(kDark, 0.12));
  p.setBrush(Lit(kSteel, y, y + 1.2));
  p.drawRoundedRect(QRectF(first - r * 1.1, y, pitch * (axles - 1) + r * 2.2, 1.05), 0.35, 0.35);
  p.setBrush(QColor(90, 92, 98));
  for (int i = 0; i < axles; ++i) p.drawRect(QRectF(first + pitch * i - 0.35, y + 0.15, 0.7, 0.8));
  // Bolster spring.
  p.setPen(QPen(QColor(120, 120, 126), 0.16));
  for (int k = 0; k < 3; ++k) p.drawLine(QPointF(cx - 0.5, y - 0.15 - k * 0.25), QPointF(cx + 0.5, y - 0.15 - k * 0.25));
}

// A single axle under a short wagon, with its leaf spring.
void Axle(QPainter& p, double cx, double r = 1.5) {
  Wheel(p, cx, r);
  const double y = kRail - r * 1.75;
  p.setPen(QPen(kDark, 0.12));
  p.setBrush(QColor(70, 72, 78));
  QPainterPath spring;
  spring.moveTo(cx - 2.1, y);
  spring.quadTo(cx, y + 0.9, cx + 2.1, y);
  spring.lineTo(cx + 2.1, y + 0.35);
  spring.quadTo(cx, y + 1.25, cx - 2.1, y + 0.35);
  spring.closeSubpath();
  p.drawPath(spring);
  p.setBrush(QColor(96, 98, 104));
  p.drawRect(QRectF(cx - 0.45, y + 0.4, 0.9, 0.9));
}

// Couplers at both ends of the underframe.
void Couplers(QPainter& p, double x0, double x1, double y) {
  p.setPen(QPen(kDark, 0.1));
  p.setBrush(QColor(70, 70, 74));
  p.drawRect(QRectF(x0 - 1.2, y, 1.3, 0.75));
  p.drawRect(QRectF(x1 - 0.1, y, 1.3, 0.75));
}

// The underframe with its equipment boxes between the bogies.
void Underframe(QPainter& p, double x0, double x1, double y, double boxesFrom, double boxesTo) {
  p.setPen(QPen(kDark, 0.1));
  p.setBrush(Lit(kSteel, y, y + 0.8));
  p.drawRect(QRectF(x0, y, x1 - x0, 0.7));
  for (double x = boxesFrom; x + 2.5 <= boxesTo; x += 4.2) {
    p.setBrush(Lit(QColor(64, 66, 70), y + 0.7, y + 2.1));
    p.drawRoundedRect(QRectF(x, y + 0.7, 3.0, 1.3), 0.2, 0.2);
  }
}

// The long body of a coach or locomotive: rounded corners, shaded.
void Body(QPainter& p, const QRectF& r, const QColor& c, double radius = 0.8) {
  p.setPen(QPen(Shade(c, 50), 0.14));
  p.setBrush(Lit(c, r.top(), r.bottom()));
  p.drawRoundedRect(r, radius, radius);
}

void Roof(QPainter& p, double x0, double x1, double yTop, double yBody, const QColor& c) {
  QPainterPath roof;
  roof.moveTo(x0, yBody);
  roof.cubicTo(x0, yTop + 0.2, x0 + 1.2, yTop, x0 + 2.4, yTop);
  roof.lineTo(x1 - 2.4, yTop);
  roof.cubicTo(x1 - 1.2, yTop, x1, yTop + 0.2, x1, yBody);
  roof.closeSubpath();
  p.setPen(QPen(Shade(c, 55), 0.12));
  p.setBrush(Lit(c, yTop, yBody));
  p.drawPath(roof);
}

void Stripe(QPainter& p, double x0, double x1, double y, double h, const QColor& c) {
  p.setPen(Qt::NoPen);
  p.setBrush(Lit(c, y, y + h));
  p.drawRect(QRectF(x0, y, x1 - x0, h));
}

// A door: panel outline, a small window and a handle.
void Door(QPainter& p, double x, double y0, double y1, const QColor& body, const QColor& glass, double w = 2.0) {
  p.setPen(QPen(Shade(body, 45), 0.12));
  p.setBrush(Lit(Shade(body, 92), y0, y1));
  p.drawRect(QRectF(x, y0, w, y1 - y0));
  Window(p, QRectF(x + 0.35, y0 + 0.6, w - 0.7, 2.0), glass, 0.15);
  p.setPen(QPen(QColor(200, 200, 200), 0.14));
  p.drawLine(QPointF(x + w - 0.45, y0 + 3.6), QPointF(x + w - 0.45, y0 + 4.4));
}

void Headlight(QPainter& p, double x, double y) {
  QRadialGradient g(x, y, 0.55);
  g.setColorAt(0, QColor(255, 255, 230));
  g.setColorAt(1, QColor(230, 200, 120));
  p.setPen(QPen(kDark, 0.08));
  p.setBrush(g);
  p.drawEllipse(QPointF(x, y), 0.42, 0.42);
}

// A pantograph folded to the wire: base, arms as a diamond, the contact strip on top.
void Pantograph(QPainter& p, double cx, double yRoof) {
  p.setPen(QPen(kDark, 0.18));
  p.setBrush(QColor(80, 80, 84));
  p.drawRect(QRectF(cx - 2.1, yRoof - 0.45, 4.2, 0.45));
  p.setPen(QPen(QColor(60, 60, 64), 0.2));
  const QPointF a(cx - 1.8, yRoof - 0.45), b(cx, yRoof - 1.7), c(cx + 1.8, yRoof - 0.45), top(cx, yRoof - 3.3);
  p.drawLine(a, b);
  p.drawLine(b, c);
  p.drawLine(a, QPointF(cx - 0.7, yRoof - 2.4));
  p.drawLine(c, QPointF(cx + 0.7, yRoof - 2.4));
  p.drawLine(QPointF(cx - 0.7, yRoof - 2.4), top);
  p.drawLine(QPointF(cx + 0.7, yRoof - 2.4), top);
  p.setPen(QPen(QColor(40, 40, 44), 0.3));
  p.drawLine(QPointF(cx - 1.6, top.y()), QPointF(cx + 1.6, top.y()));
}

// ---- the kinds --------------------------------------------------------------------------------

void Electric(QPainter& p, const Colours& c) {
  const double x0 = 1.5, x1 = 62.5, top = 4.6, bottom = 12.3;
  Underframe(p, x0 + 1, x1 - 1, bottom - 0.2, 18, 46);
  Bogie(p, 9.5, 2);
  Bogie(p, 32, 2);
  Bogie(p, 54.5, 2);
  Couplers(p, x0, x1, bottom - 0.1);
  Body(p, QRectF(x0, top, x1 - x0, bottom - top), c.body, 1.2);
  Roof(p, x0 + 0.4, x1 - 0.4, top - 0.9, top + 0.4, c.roof);
  Pantograph(p, 14, top - 0.9);
  Pantograph(p, 50, top - 0.9);
  // Roof equipment between the pantographs.
  p.setPen(QPen(kDark, 0.1));
  p.setBrush(Lit(Shade(c.roof, 85), top - 1.8, top - 0.9));
  p.drawRoundedRect(QRectF(24, top - 1.7, 16, 0.8), 0.3, 0.3);
  Stripe(p, x0 + 0.3, x1 - 0.3, 9.6, 0.8, c.stripe);
  // Cab windows at both ends, side windows and louvres between.
  Window(p, QRectF(x0 + 0.9, 5.6, 3.4, 2.6), c.window);
  Window(p, QRectF(x1 - 4.3, 5.6, 3.4, 2.6), c.window);
  Door(p, 6.4, 5.3, 11.7, c.body, c.window, 2.2);
  Door(p, x1 - 8.6, 5.3, 11.7, c.body, c.window, 2.2);
  for (double x = 11.5; x < 52; x += 4.4) Window(p, QRectF(x, 5.9, 2.8, 1.9), c.window, 0.2);
  p.setPen(QPen(Shade(c.body, 60), 0.12));
  for (double x = 12; x < 52; x += 0.9) p.drawLine(QPointF(x, 8.3), QPointF(x, 9.3));
  Headlight(p, x0 + 1.4, 10.9);
  Headlight(p, x1 - 1.4, 10.9);
}

void Diesel(QPainter& p, const Colours& c) {
  const double bottom = 12.2;
  Underframe(p, 2.5, 61.5, bottom - 0.2, 20, 44);
  Bogie(p, 12, 3, 1.2);
  Bogie(p, 52, 3, 1.2);
  Couplers(p, 2.5, 61.5, bottom - 0.1);
  // Hoods either side of the centre cab.
  Body(p, QRectF(2.5, 7.0, 19, bottom - 7.0), c.body, 0.9);
  Body(p, QRectF(42.5, 7.0, 19, bottom - 7.0), c.body, 0.9);
  Roof(p, 2.8, 21.2, 6.3, 7.4, c.roof);
  Roof(p, 42.8, 61.2, 6.3, 7.4, c.roof);
  p.setPen(QPen(Shade(c.body, 55), 0.14));
  for (double x = 5; x < 20; x += 1.1) p.drawLine(QPointF(x, 7.9), QPointF(x, 10.0));
  for (double x = 45; x < 60; x += 1.1) p.drawLine(QPointF(x, 7.9), QPointF(x, 10.0));
  // Handrail along the hoods.
  p.setPen(QPen(c.stripe, 0.16));
  p.drawLine(QPointF(3, 10.6), QPointF(21, 10.6));
  p.drawLine(QPointF(43, 10.6), QPointF(61, 10.6));
  // The cab, tall, with its windows and doors.
  Body(p, QRectF(21.2, 2.9, 21.6, bottom - 2.9), c.body, 1.0);
  Roof(p, 21.4, 42.6, 2.2, 3.3, c.roof);
  p.setPen(QPen(kDark, 0.14));
  p.setBrush(QColor(60, 60, 64));
  p.drawRect(QRectF(30.5, 1.2, 2.2, 1.1));  // exhaust
  Window(p, QRectF(22.3, 4.1, 4.2, 2.6), c.window);
  Window(p, QRectF(37.5, 4.1, 4.2, 2.6), c.window);
  Door(p, 27.6, 3.7, 11.6, c.body, c.window, 2.2);
  Door(p, 33.4, 3.7, 11.6, c.body, c.window, 2.2);
  Stripe(p, 2.7, 61.3, 11.0, 0.7, c.stripe);
  Headlight(p, 3.4, 8.6);
  Headlight(p, 60.6, 8.6);
}

void Steam(QPainter& p, const Colours& c) {
  // Frame and running board.
  p.setPen(QPen(kDark, 0.12));
  p.setBrush(Lit(kSteel, 10.2, 11.4));
  p.drawRect(QRectF(2.5, 10.2, 51, 1.1));
  // Driving wheels with spokes, a small leading wheel, the rods.
  Wheel(p, 5.0, 1.05, 8, c.stripe);
  for (int i = 0; i < 4; ++i) Wheel(p, 13.5 + i * 6.2, 2.75, 14, c.stripe);
  Wheel(p, 47.5, 1.35, 8, c.stripe);
  p.setPen(QPen(QColor(170, 170, 176), 0.45));
  p.drawLine(QPointF(13.5 + 0.9, kRail - 2.75 + 1.3), QPointF(13.5 + 3 * 6.2 + 0.9, kRail - 2.75 + 1.3));
  p.setPen(QPen(QColor(140, 140, 146), 0.35));
  p.drawLine(QPointF(6.4, 12.1), QPointF(19.7 + 0.6, kRail - 2.75 + 0.6));
  // Cylinder and the buffer beam.
  p.setPen(QPen(kDark, 0.12));
  p.setBrush(Lit(Shade(c.body, 90), 9.0, 12.0));
  p.drawRoundedRect(QRectF(3.3, 9.0, 5.2, 2.8), 0.6, 0.6);
  p.setBrush(c.stripe);
  p.drawRect(QRectF(0.6, 10.0, 2.2, 1.7));
  // The boiler, its smokebox and bands.
  QLinearGradient boiler(0, 4.4, 0, 10.2);
  boiler.setColorAt(0, Shade(c.body, 150));
  boiler.setColorAt(0.35, Shade(c.body, 115));
  boiler.setColorAt(1, Shade(c.body, 55));
  p.setPen(QPen(kDark, 0.14));
  p.setBrush(boiler);
  p.drawRoundedRect(QRectF(3.0, 4.4, 42, 5.8), 2.6, 2.6);
  p.setBrush(Lit(QColor(38, 38, 42), 4.4, 10.2));
  p.drawRoundedRect(QRectF(2.6, 4.2, 6.6, 6.2), 2.4, 2.4);
  p.setPen(QPen(QColor(190, 170, 90), 0.22));
  for (double x : {14.0, 22.0, 30.0, 38.0}) p.drawLine(QPointF(x, 4.5), QPointF(x, 10.1));
  // Chimney, sand dome, steam dome, whistle.
  p.setPen(QPen(kDark, 0.12));
  p.setBrush(Lit(QColor(40, 40, 44), 0.6, 4.4));
  p.drawRect(QRectF(5.2, 1.2, 2.2, 3.3));
  p.drawRect(QRectF(4.8, 0.8, 3.0, 0.8));
  p.setBrush(Lit(c.body, 2.4, 4.6));
  p.drawRoundedRect(QRectF(17.2, 2.6, 3.6, 2.2), 1.2, 1.2);
  p.drawRoundedRect(QRectF(25.2, 2.2, 4.0, 2.6), 1.4, 1.4);
  Headlight(p, 6.3, 3.9);
  // The cab with its window and roof.
  Body(p, QRectF(44.6, 3.2, 10.4, 7.4), c.body, 0.4);
  Roof(p, 44.0, 55.6, 2.0, 3.4, c.roof);
  Window(p, QRectF(46.6, 4.4, 3.2, 2.8), c.window, 0.4);
  Window(p, QRectF(51.0, 4.4, 2.6, 2.8), c.window, 0.4);
  Stripe(p, 44.8, 54.8, 9.2, 0.5, c.stripe);
}

void Tender(QPainter& p, const Colours& c) {
  Bogie(p, 12, 2, 1.35);
  Bogie(p, 36, 2, 1.35);
  Couplers(p, 6.5, 41.5, 11.6);
  Body(p, QRectF(6.5, 5.6, 35, 6.4), c.body, 0.5);
  // The coal heap, lumpy.
  QPainterPath coal;
  coal.moveTo(7.2, 5.8);
  double x = 7.2;
  for (int i = 0; x < 40.5; ++i) {
    const double bump = 0.5 + 0.45 * std::sin(i * 1.7) + 0.3 * std::cos(i * 0.9);
    coal.quadTo(x + 0.9, 4.2 - bump, x + 1.8, 4.6 - bump * 0.5);
    x += 1.8;
  }
  coal.lineTo(40.8, 5.8);
  coal.closeSubpath();
  QLinearGradient g(0, 3.2, 0, 5.8);
  g.setColorAt(0, QColor(80, 80, 86));
  g.setColorAt(1, QColor(20, 20, 22));
  p.setPen(QPen(QColor(12, 12, 14), 0.1));
  p.setBrush(g);
  p.drawPath(coal);
  Stripe(p, 6.8, 41.2, 10.6, 0.6, c.stripe);
  p.setPen(QPen(Shade(c.body, 55), 0.14));
  for (double xx = 10; xx < 40; xx += 7) p.drawLine(QPointF(xx, 6.2), QPointF(xx, 10.2));
}

// A bogie car's underframe, body and roof: the coach and the baggage car differ only in what
// the sides carry.
constexpr double kCarX0 = 2.2, kCarX1 = 61.8, kCarTop = 3.9, kCarBottom = 12.0;
void BogieCarShell(QPainter& p, const Colours& c) {
  const double x0 = kCarX0, x1 = kCarX1, top = kCarTop, bottom = kCarBottom;
  Underframe(p, x0 + 1, x1 - 1, bottom - 0.2, 14, 50);
  Bogie(p, 9.0);
  Bogie(p, 55.0);
  Couplers(p, x0, x1, bottom - 0.1);
  Body(p, QRectF(x0, top, x1 - x0, bottom - top), c.body, 0.6);
  Roof(p, x0, x1, 2.6, top + 0.4, c.roof);
}

void Coach(QPainter& p, const Colours& c) {
  const double x0 = kCarX0, x1 = kCarX1, top = kCarTop, bottom = kCarBottom;
  BogieCarShell(p, c);
  p.setPen(QPen(Shade(c.roof, 70), 0.12));
  p.setBrush(Lit(Shade(c.roof, 90), 1.9, 2.7));
  for (double x = 10; x < 56; x += 9) p.drawRoundedRect(QRectF(x, 1.9, 2.4, 0.8), 0.3, 0.3);  // ventilators
  Stripe(p, x0 + 0.2, x1 - 0.2, 8.9, 0.7, c.stripe);
  Door(p, x0 + 1.2, top + 0.6, bottom - 0.4, c.body, c.window);
  Door(p, x1 - 3.2, top + 0.6, bottom - 0.4, c.body, c.window);
  for (double x = 6.4; x + 2.6 < x1 - 4; x += 3.95) Window(p, QRectF(x, 5.2, 2.6, 2.9), c.window, 0.3);
}

void Baggage(QPainter& p, const Colours& c) {
  const double x0 = kCarX0, x1 = kCarX1, top = kCarTop, bottom = kCarBottom;
  BogieCarShell(p, c);
  for (double x : {6.0, 9.0, 52.0, 55.0}) Window(p, QRectF(x, 5.2, 1.8, 2.3), c.window, 0.25);
  // Two wide loading doors, each with its rails.
  for (double x : {16.5, 37.5}) {
    p.setPen(QPen(Shade(c.stripe, 45), 0.14));
    p.setBrush(Lit(c.stripe, top + 0.8, bottom - 0.6));
    p.drawRect(QRectF(x, top + 0.8, 9.5, bottom - top - 1.4));
    p.drawLine(QPointF(x + 4.75, top + 0.8), QPointF(x + 4.75, bottom - 0.6));
    Window(p, QRectF(x + 1.2, top + 1.5, 2.4, 1.6), c.window, 0.2);
    Window(p, QRectF(x + 5.9, top + 1.5, 2.4, 1.6), c.window, 0.2);
    p.setPen(QPen(QColor(150, 150, 150), 0.16));
    p.drawLine(QPointF(x - 0.6, top + 0.6), QPointF(x + 10.1, top + 0.6));
  }
  Door(p, x0 + 1.2, top + 0.6, bottom - 0.4, c.body, c.window);
  Door(p, x1 - 3.2, top + 0.6, bottom - 0.4, c.body, c.window);
}

void Bellows(QPainter& p, const Colours&) {
  // Folds of rubber between two coaches, in light and shade.
  for (int i = 0; i < 6; ++i) {
    const double x = 0.5 + i * 0.85;
    QLinearGradient g(x, 0, x + 0.85, 0);
    g.setColorAt(0, QColor(92, 92, 96));
    g.setColorAt(0.5, QColor(46, 46, 50));
    g.setColorAt(1, QColor(24, 24, 26));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawRect(QRectF(x, 4.4, 0.86, 7.4));
  }
  p.setPen(QPen(QColor(18, 18, 20), 0.12));
  p.setBrush(Qt::NoBrush);
  p.drawRect(QRectF(0.5, 4.4, 5.0, 7.4));
}

void Van(QPainter& p, const Colours& c) {
  const double x0 = 3.5, x1 = 44.5, top = 3.6, bottom = 12.2;
  Axle(p, 13.0);
  Axle(p, 35.0);
  Couplers(p, x0, x1, bottom - 0.4);
  p.setPen(QPen(kDark, 0.1));
  p.setBrush(Lit(kSteel, bottom - 0.6, bottom + 0.3));
  p.drawRect(QRectF(x0, bottom - 0.6, x1 - x0, 0.9));
  Body(p, QRectF(x0, top, x1 - x0, bottom - 0.6 - top), c.body, 0.3);
  Roof(p, x0 - 0.2, x1 + 0.2, 2.5, top + 0.3, c.roof);
  // Planks and the sliding door.
  p.setPen(QPen(Shade(c.body, 70), 0.1));
  for (double x = x0 + 1.0; x < x1; x += 1.0) p.drawLine(QPointF(x, top + 0.3), QPointF(x, bottom - 0.8));
  p.setPen(QPen(Shade(c.stripe, 50), 0.16));
  p.setBrush(Lit(c.stripe, top + 0.6, bottom - 1.0));
  p.drawRect(QRectF(19.5, top + 0.6, 9, bottom - top - 1.6));
  p.drawLine(QPointF(24, top + 0.6), QPointF(24, bottom - 1.0));
  p.setPen(QPen(QColor(170, 170, 170), 0.18));
  p.drawLine(QPointF(18.6, top + 0.4), QPointF(29.4, top + 0.4));
  p.drawLine(QPointF(18.6, bottom - 0.8), QPointF(29.4, bottom - 0.8));
  // Corner braces.
  p.setPen(QPen(Shade(c.body, 55), 0.22));
  p.drawLine(QPointF(x0 + 0.4, top + 0.5), QPointF(x0 + 5, bottom - 0.9));
  p.drawLine(QPointF(x1 - 0.4, top + 0.5), QPointF(x1 - 5, bottom - 0.9));
}

void Tank(QPainter& p, const Colours& c) {
  Bogie(p, 9.5, 2, 1.3);
  Bogie(p, 38.5, 2, 1.3);
  Couplers(p, 2.5, 45.5, 11.4);
  p.setPen(QPen(kDark, 0.1));
  p.setBrush(Lit(kSteel, 11.0, 12.0));
  p.drawRect(QRectF(2.5, 11.0, 43, 0.9));
  // The tank: a long cylinder with rounded heads.
  QLinearGradient g(0, 4.0, 0, 11.2);
  g.setColorAt(0, Shade(c.body, 170));
  g.setColorAt(0.3, Shade(c.body, 125));
  g.setColorAt(0.75, c.body);
  g.setColorAt(1, Shade(c.body, 55));
  p.setPen(QPen(Shade(c.body, 45), 0.14));
  p.setBrush(g);
  p.drawRoundedRect(QRectF(3.2, 4.2, 41.6, 6.9), 3.3, 3.3);
  // Dome, walkway, ladder, the band.
  p.setBrush(Lit(c.body, 2.4, 4.4));
  p.drawRoundedRect(QRectF(21.6, 2.6, 4.8, 2.0), 0.8, 0.8);
  Stripe(p, 5.0, 43.0, 7.3, 0.9, c.stripe);
  p.setPen(QPen(QColor(160, 160, 164), 0.16));
  p.drawLine(QPointF(18.5, 3.8), QPointF(29.5, 3.8));
  for (double y = 4.6; y < 11; y += 0.9) p.drawLine(QPointF(26.8, y), QPointF(28.0, y));
  p.drawLine(QPointF(26.8, 3.8), QPointF(26.8, 11));
  p.drawLine(QPointF(28.0, 3.8), QPointF(28.0, 11));
}

void Container(QPainter& p, const Colours& c) {
  Bogie(p, 8.5, 2, 1.3);
  Bogie(p, 51.5, 2, 1.3);
  Couplers(p, 1.8, 58.2, 11.2);
  // The flat deck.
  p.setPen(QPen(kDark, 0.1));
  p.setBrush(Lit(c.roof, 10.8, 12.2));
  p.drawRect(QRectF(1.8, 10.8, 56.4, 1.3));
  // Three containers, ribbed, doors at their ends.
  for (int i = 0; i < 3; ++i) {
    const double x = 2.6 + i * 18.4, w = 17.8, top = 4.0, bottom = 10.8;
    p.setPen(QPen(Shade(c.body, 45), 0.14));
    p.setBrush(Lit(c.body, top, bottom));
    p.drawRect(QRectF(x, top, w, bottom - top));
    p.setPen(QPen(Shade(c.body, 72), 0.12));
    for (double xx = x + 0.7; xx < x + w - 0.4; xx += 0.7) p.drawLine(QPointF(xx, top + 0.3), QPointF(xx, bottom - 0.3));
    p.setPen(Qt::NoPen);
    p.setBrush(Lit(c.stripe, top + 0.6, top + 1.6));
    p.drawRect(QRectF(x + 1.2, top + 0.6, 5.5, 1.0));  // the owner's mark
    p.setPen(QPen(QColor(30, 30, 30), 0.14));
    p.drawLine(QPointF(x + w - 1.0, top + 0.4), QPointF(x + w - 1.0, bottom - 0.4));
  }
}

void Hopper(QPainter& p, const Colours& c) {
  Bogie(p, 9.0, 2, 1.3);
  Bogie(p, 39.0, 2, 1.3);
  Couplers(p, 2.4, 45.6, 11.2);
  // The hopper body with its chutes underneath.
  QPainterPath body;
  body.moveTo(2.4, 3.6);
  body.lineTo(45.6, 3.6);
  body.lineTo(45.6, 9.0);
  body.lineTo(39.5, 11.4);
  body.lineTo(33.0, 9.4);
  body.lineTo(27.0, 11.6);
  body.lineTo(21.0, 11.6);
  body.lineTo(15.0, 9.4);
  body.lineTo(8.5, 11.4);
  body.lineTo(2.4, 9.0);
  body.closeSubpath();
  p.setPen(QPen(Shade(c.body, 45), 0.16));
  p.setBrush(Lit(c.body, 3.6, 11.6));
  p.drawPath(body);
  // The load, heaped over the top edge.
  QLinearGradient load(0, 2.2, 0, 3.8);
  load.setColorAt(0, Shade(c.body, 150));
  load.setColorAt(1, Shade(c.body, 80));
  QPainterPath heap;
  heap.moveTo(3.0, 3.7);
  heap.cubicTo(10, 2.0, 18, 2.9, 24, 2.2);
  heap.cubicTo(30, 2.8, 38, 2.0, 45.0, 3.7);
  heap.closeSubpath();
  p.setPen(Qt::NoPen);
  p.setBrush(load);
  p.drawPath(heap);
  // Ribs.
  p.setPen(QPen(Shade(c.body, 55), 0.2));
  for (double x = 6; x < 44; x += 5.4) p.drawLine(QPointF(x, 3.8), QPointF(x, 8.6));
  p.drawLine(QPointF(2.6, 4.6), QPointF(45.4, 4.6));
}

void Brakevan(QPainter& p, const Colours& c) {
  const double x0 = 5.0, x1 = 43.0, top = 3.8, bottom = 11.8;
  Axle(p, 14.0);
  Axle(p, 34.0);
  Couplers(p, 1.8, 46.2, bottom - 0.3);
  p.setPen(QPen(kDark, 0.1));
  p.setBrush(Lit(kSteel, bottom - 0.5, bottom + 0.4));
  p.drawRect(QRectF(1.8, bottom - 0.5, 44.4, 0.9));
  // Open platforms with railings at both ends.
  p.setPen(QPen(c.stripe, 0.2));
  for (double xr : {1.9, 43.2}) {
    p.drawLine(QPointF(xr, 7.2), QPointF(xr + 2.9, 7.2));
    p.drawLine(QPointF(xr, 7.2), QPointF(xr, bottom - 0.5));
    p.drawLine(QPointF(xr + 1.45, 7.2), QPointF(xr + 1.45, bottom - 0.5));
  }
  Body(p, QRectF(x0, top, x1 - x0, bottom - 0.5 - top), c.body, 0.4);
  Roof(p, x0 - 2.6, x1 + 2.6, 2.6, top + 0.3, c.roof);
  p.setPen(QPen(Shade(c.body, 70), 0.1));
  for (double x = x0 + 1.0; x < x1; x += 1.0) p.drawLine(QPointF(x, top + 0.3), QPointF(x, bottom - 0.7));
  Stripe(p, x0 + 0.2, x1 - 0.2, 8.6, 0.7, c.stripe);
  Door(p, x0 + 1.4, top + 0.5, bottom - 0.7, c.body, c.window);
  Door(p, x1 - 3.4, top + 0.5, bottom - 0.7, c.body, c.window);
  for (double x : {12.0, 18.5, 25.0, 31.5}) Window(p, QRectF(x, 5.0, 2.6, 2.6), c.window, 0.25);
  Headlight(p, x0 + 0.2, 9.9);  // tail lamp
}

struct Kind {
  int units;  // width of the outline
  void (*draw)(QPainter&, const Colours&);
};

const std::map<std::string, Kind>& Kinds() {
  static const std::map<std::string, Kind> kinds = {
      {"electric", {64, Electric}}, {"diesel", {64, Diesel}}, {"steam", {56, Steam}},
      {"tender", {48, Tender}},     {"coach", {64, Coach}},   {"baggage", {64, Baggage}},
      {"bellows", {6, Bellows}},    {"van", {48, Van}},       {"tank", {48, Tank}},
      {"container", {60, Container}}, {"hopper", {48, Hopper}}, {"brakevan", {48, Brakevan}},
  };
  return kinds;
}

QImage Draw(const Kind& kind, const Colours& c, int scale) {
  QImage image(kind.units * scale, static_cast<int>(kHeight) * scale, QImage::Format_RGB32);
  image.fill(Qt::black);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(scale, scale);
  kind.draw(p, c);
  return image;
}

void Put32(std::string& s, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) s += static_cast<char>((v >> (8 * i)) & 0xFF);
}
void Put16(std::string& s, std::uint16_t v) {
  s += static_cast<char>(v & 0xFF);
  s += static_cast<char>(v >> 8);
}

// A 24-bit bottom-up Windows bitmap, as the old data files are.
std::string Bitmap(const QImage& image) {
  const auto w = static_cast<std::uint32_t>(image.width());
  const auto h = static_cast<std::uint32_t>(image.height());
  const std::uint32_t stride = (w * 3 + 3) & ~3u;
  std::string s;
  s += "BM";
  Put32(s, 54 + stride * h);
  Put32(s, 0);
  Put32(s, 54);
  Put32(s, 40);
  Put32(s, w);
  Put32(s, h);
  Put16(s, 1);
  Put16(s, 24);
  Put32(s, 0);
  Put32(s, stride * h);
  Put32(s, 2835);
  Put32(s, 2835);
  Put32(s, 0);
  Put32(s, 0);
  for (std::uint32_t y = h; y-- > 0;) {
    std::string line;
    for (std::uint32_t x = 0; x < w; ++x) {
      const QRgb px = image.pixel(static_cast<int>(x), static_cast<int>(y));
      line += static_cast<char>(qBlue(px));
      line += static_cast<char>(qGreen(px));
      line += static_cast<char>(qRed(px));
    }
    line.resize(stride, '\0');
    s += line;
  }
  return s;
}

bool ParseColour(const std::string& text, QColor& out) {
  if (text.size() != 7 || text[0] != '#') return false;
  unsigned v = 0;
  if (std::sscanf(text.c_str() + 1, "%6x", &v) != 1) return false;
  out = QColor(static_cast<int>(v >> 16), static_cast<int>((v >> 8) & 0xFF), static_cast<int>(v & 0xFF));
  return true;
}

// The icon at 16 pixels, set pixel by pixel: drawn shapes would blur into each other there.
QImage PixelIcon() {
  static const char* const kRows[16] = {
      ".kkkkkkkkkkkkkk.",
      "kkkkkppppppkkkkk",
      "kkkkkkpkkpkkkkkk",
      "kkkRRRRRRRRRRkkk",
      "kkbBBBBBBBBBBbkk",
      "kkbwwwbBBBwwwbkk",
      "kkbwwwbbbbwwwbkk",
      "kkbbbbbbbbbbbbkk",
      "kkbbbbbbbbbbbbkk",
      "kksssssssssssskk",
      "kkbbbbbbbbbbbbkk",
      "kkbybbbbbbbbybkk",
      "kkbbbbbbbbbbbbkk",
      "kkkddddddddddkkk",
      "krrrrrrrrrrrrrrk",
      ".kkkkkkkkkkkkkk.",
  };
  const std::map<char, QColor> colours = {
      {'k', QColor(30, 33, 43)},    {'p', QColor(110, 110, 116)},
      {'R', QColor(138, 150, 164)}, {'b', QColor(42, 90, 168)},  {'B', QColor(66, 116, 196)},
      {'w', QColor(200, 232, 255)}, {'s', QColor(228, 228, 228)}, {'y', QColor(255, 240, 160)},
      {'d', QColor(12, 12, 16)},    {'r', QColor(150, 20, 20)},
  };
  QImage image(16, 16, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 16; ++x) {
      if (const auto c = colours.find(kRows[y][x]); c != colours.end()) image.setPixelColor(x, y, c->second);
    }
  }
  return image;
}

// The program's icon: the blue electric locomotive's cab end over a rail, on a rounded square.
// Drawn anew at each size so small icons stay crisp rather than blurred down from a large one.
QImage Icon(int size) {
  if (size == 16) return PixelIcon();
  QImage image(size, size, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 16.0, size / 16.0);
  QLinearGradient sky(0, 0, 0, 16);
  sky.setColorAt(0, QColor(40, 44, 56));
  sky.setColorAt(1, QColor(10, 10, 14));
  p.setPen(Qt::NoPen);
  p.setBrush(sky);
  p.drawRoundedRect(QRectF(0.2, 0.2, 15.6, 15.6), 2.6, 2.6);
  // Rails and sleepers.
  p.setBrush(QColor(128, 0, 0));
  p.drawRect(QRectF(0.8, 13.6, 14.4, size >= 32 ? 0.6 : 1.0));
  // The locomotive's front, seen from a little to the side.
  const QColor body(42, 90, 168), window(200, 232, 255), stripe(228, 228, 228);
  p.setBrush(Lit(body, 4, 12.6));
  p.setPen(QPen(Shade(body, 50), size >= 32 ? 0.15 : 0.0));
  p.drawRoundedRect(QRectF(2.4, 4.2, 11.2, 8.6), 1.6, 1.6);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(138, 150, 164));
  p.drawRoundedRect(QRectF(3.0, 3.2, 10.0, 1.6), 0.8, 0.8);
  p.setPen(QPen(QColor(60, 60, 64), size >= 32 ? 0.35 : 0.6));
  p.drawLine(QPointF(5.6, 3.2), QPointF(8.0, 0.9));
  p.drawLine(QPointF(10.4, 3.2), QPointF(8.0, 0.9));
  p.drawLine(QPointF(6.2, 0.9), QPointF(9.8, 0.9));
  p.setPen(Qt::NoPen);
  p.setBrush(window);
  p.drawRoundedRect(QRectF(3.6, 5.4, 3.7, 2.8), 0.5, 0.5);
  p.drawRoundedRect(QRectF(8.7, 5.4, 3.7, 2.8), 0.5, 0.5);
  p.setBrush(stripe);
  p.drawRect(QRectF(2.6, 9.3, 10.8, size >= 32 ? 0.8 : 1.0));
  p.setBrush(QColor(255, 250, 210));
  p.drawEllipse(QPointF(4.6, 11.3), 0.7, 0.7);
  p.drawEllipse(QPointF(11.4, 11.3), 0.7, 0.7);
  p.setBrush(kDark);
  p.drawRect(QRectF(3.4, 12.8, 9.2, 0.9));
  return image;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 && argc != 4) {
    std::cerr << "usage: carart STOCK_LIST OUTPUT_FOLDER [ICON_FOLDER]\n";
    return 2;
  }
  std::ifstream in(argv[1]);
  if (!in) {
    std::cerr << "carart: cannot read " << argv[1] << "\n";
    return 1;
  }
  const std::string out = std::string(argv[2]) + "/";
  std::string line;
  int number = 0, written = 0;
  while (std::getline(in, line)) {
    ++number;
    if (line.empty() || line[0] == '#') continue;
    std::istringstream words(line);
    std::string word, file, eq, kindName;
    words >> word >> file >> eq >> kindName;
    const auto kind = Kinds().find(kindName);
    if (word != "image" || eq != "=" || kind == Kinds().end()) {
      std::cerr << argv[1] << ":" << number << ": not an image line: " << line << "\n";
      return 1;
    }
    Colours c;
    std::string colour;
    while (words >> colour) {
      QColor value;
      if (colour.size() < 3 || colour[1] != '=' || !ParseColour(colour.substr(2), value)) {
        std::cerr << argv[1] << ":" << number << ": bad colour " << colour << "\n";
        return 1;
      }
      switch (colour[0]) {
        case 'B': c.body = value; break;
        case 'R': c.roof = value; break;
        case 'S': c.stripe = value; break;
        case 'W': c.window = value; break;
        default:
          std::cerr << argv[1] << ":" << number << ": unknown colour letter " << colour[0] << "\n";
          return 1;
      }
    }
    std::ofstream(out + file, std::ios::binary) << Bitmap(Draw(kind->second, c, kScale));
    ++written;
  }
  if (argc == 4) {
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
      const std::string path = std::string(argv[3]) + "/kelvara-" + std::to_string(size) + ".png";
      if (!Icon(size).save(QString::fromStdString(path), "PNG")) {
        std::cerr << "carart: cannot write " << path << "\n";
        return 1;
      }
    }
  }
  return written > 0 ? 0 : 1;
}
