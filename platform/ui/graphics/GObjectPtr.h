#pragma once

#include <glib-object.h>

#include <memory>

namespace platform::ui {

// Owns one reference to a GObject (Pango layouts, font maps, pixbufs, SVG handles).
struct GObjectUnref {
    void operator()(gpointer object) const
    {
        if (object)
            g_object_unref(object);
    }
};

template <typename T>
using GObjectPtr = std::unique_ptr<T, GObjectUnref>;

} // namespace platform::ui
