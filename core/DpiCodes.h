#pragma once

#include "core/SensorDefines.h"

#include <QString>

// Conversions between a DPI value and the code a button function of the
// DPI-lock kind carries, through the sensor definitions. A model with its own
// table ("SENSOR_" + model + "_DPI_" + DPI names) uses it; any other model
// counts in 50-DPI steps from code 0 = 50 DPI. Pure and thread-safe.
namespace core {

// No sensor counts beyond this; DPI numbers read from files are held to it.
inline constexpr int kMaxDpiValue = 100000;

// The code for dpi. With a table but no entry for this dpi the result is
// dpi / 50, one above the step rule: such a table holds codes of its own, so
// no step offset is assumed.
int DpiToSensorCode(const SensorDefines& defines, const QString& model, int dpi);

// The DPI for a code: the first table entry of the model whose value is code;
// 0 when the model has a table without such an entry, or when the entry's DPI
// lies outside 0 .. kMaxDpiValue; otherwise the step rule.
int SensorCodeToDpi(const SensorDefines& defines, const QString& model, int code);

} // namespace core
