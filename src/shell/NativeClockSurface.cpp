#include "shell/NativeClockSurface.h"

#include <QGuiApplication>
#include <QSysInfo>
#include <QWidget>

#ifdef KORVAN_HAVE_XCB
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <cstdlib>
#endif

namespace korvan::shell {

#ifdef KORVAN_HAVE_XCB

struct NativeClockSurface::Handles {
    xcb_connection_t* connection = nullptr;
    xcb_window_t window = 0;
    xcb_gcontext_t gc = 0;
    std::uint8_t depth = 0;
    QSize size; // in device pixels, which a scaled desktop makes larger
    QImage::Format format = QImage::Format_RGB32;
};

namespace {

xcb_connection_t* applicationConnection()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        return nullptr;
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

// 32 bits per pixel for `depth`, in the byte order of this machine.
bool takesHostWordPixels(xcb_connection_t* connection, std::uint8_t depth)
{
    const xcb_setup_t* setup = xcb_get_setup(connection);
    const auto hostOrder =
        QSysInfo::ByteOrder == QSysInfo::LittleEndian ? XCB_IMAGE_ORDER_LSB_FIRST : XCB_IMAGE_ORDER_MSB_FIRST;
    if (setup->image_byte_order != hostOrder)
        return false;
    for (auto formats = xcb_setup_pixmap_formats_iterator(setup); formats.rem; xcb_format_next(&formats))
        if (formats.data->depth == depth)
            return formats.data->bits_per_pixel == 32 && formats.data->scanline_pad == 32;
    return false;
}

} // namespace

bool NativeClockSurface::platformSupportsIt()
{
    return applicationConnection() != nullptr;
}

std::unique_ptr<NativeClockSurface> NativeClockSurface::create(QWidget* widget)
{
    xcb_connection_t* connection = applicationConnection();
    if (!connection || !widget->testAttribute(Qt::WA_NativeWindow))
        return nullptr;
    auto handles = std::make_unique<Handles>();
    handles->connection = connection;
    handles->window = static_cast<xcb_window_t>(widget->winId());
    xcb_get_geometry_reply_t* geometry =
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, handles->window), nullptr);
    if (!geometry)
        return nullptr;
    handles->depth = geometry->depth;
    handles->size = QSize(geometry->width, geometry->height);
    std::free(geometry);
    if (handles->depth == 24)
        handles->format = QImage::Format_RGB32;
    else if (handles->depth == 32)
        handles->format = QImage::Format_ARGB32_Premultiplied;
    else
        return nullptr;
    const std::uint64_t frameBytes = std::uint64_t(handles->size.width()) * std::uint64_t(handles->size.height()) * 4;
    const std::uint64_t requestBytes = std::uint64_t(xcb_get_maximum_request_length(connection)) * 4;
    if (!takesHostWordPixels(connection, handles->depth) || frameBytes + sizeof(xcb_put_image_request_t) > requestBytes)
        return nullptr;
    handles->gc = xcb_generate_id(connection);
    xcb_void_cookie_t created = xcb_create_gc_checked(connection, handles->gc, handles->window, 0, nullptr);
    if (xcb_generic_error_t* error = xcb_request_check(connection, created)) {
        std::free(error);
        return nullptr;
    }
    return std::unique_ptr<NativeClockSurface>(new NativeClockSurface(std::move(handles)));
}

NativeClockSurface::~NativeClockSurface()
{
    if (handles_) {
        xcb_free_gc(handles_->connection, handles_->gc);
        xcb_flush(handles_->connection);
    }
}

bool NativeClockSurface::put(const QImage& frame)
{
    QImage pixels = frame.convertToFormat(handles_->format);
    if (pixels.size() != handles_->size)
        pixels = pixels.scaled(handles_->size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    xcb_void_cookie_t cookie = xcb_put_image_checked(
        handles_->connection, XCB_IMAGE_FORMAT_Z_PIXMAP, handles_->window, handles_->gc,
        static_cast<std::uint16_t>(pixels.width()), static_cast<std::uint16_t>(pixels.height()), 0, 0, 0,
        handles_->depth, static_cast<std::uint32_t>(pixels.sizeInBytes()), pixels.constBits());
    if (xcb_generic_error_t* error = xcb_request_check(handles_->connection, cookie)) {
        std::free(error);
        return false;
    }
    return true;
}

#else

struct NativeClockSurface::Handles {};

bool NativeClockSurface::platformSupportsIt()
{
    return false;
}

std::unique_ptr<NativeClockSurface> NativeClockSurface::create(QWidget*)
{
    return nullptr;
}

NativeClockSurface::~NativeClockSurface() = default;

bool NativeClockSurface::put(const QImage&)
{
    return false;
}

#endif

NativeClockSurface::NativeClockSurface(std::unique_ptr<Handles> handles) : handles_(std::move(handles)) {}

} // namespace korvan::shell
