#pragma once

#include <QString>

// The product's names and the maker's addresses, shared by every window.
inline QString AppTitle() { return QStringLiteral("QUELM搜索寻踪客"); }

// The maker's home page: the banner, "下载新版本" and the built-in browser's home.
inline QString MakerHomePage() { return QStringLiteral("http://www.quelm.com/"); }

// The maker's download page: the about box's link.
inline QString MakerDownloadPage() { return QStringLiteral("http://www.quelm.com/download/"); }
