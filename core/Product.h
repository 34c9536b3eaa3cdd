#pragma once

// The product's name: last component of the per-user folder, name of the
// registry store and of the single-instance lock, tray tool tip.
inline constexpr char ProductName[] = "TALVO R430K mouse";
