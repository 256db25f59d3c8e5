#pragma once

// The portal's bus names and paths.
namespace tavelin::portal {

inline constexpr char kService[] = "org.freedesktop.portal.Desktop";
inline constexpr char kPath[] = "/org/freedesktop/portal/desktop";
inline constexpr char kScreenshotInterface[] = "org.freedesktop.portal.Screenshot";
inline constexpr char kRequestInterface[] = "org.freedesktop.portal.Request";
inline constexpr char kStoreService[] = "org.freedesktop.impl.portal.PermissionStore";
inline constexpr char kStorePath[] = "/org/freedesktop/impl/portal/PermissionStore";
inline constexpr char kStoreInterface[] = "org.freedesktop.impl.portal.PermissionStore";
// The table and entry the screenshot portal keeps its per-application answers in.
inline constexpr char kScreenshotTable[] = "screenshot";
inline constexpr char kScreenshotEntry[] = "screenshot";

}  // namespace tavelin::portal
