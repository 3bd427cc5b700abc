#include "platform/desktop/GnomeAnimationSetting.h"

#define G_SETTINGS_ENABLE_BACKEND
#include <gio/gio.h>
#include <gio/gsettingsbackend.h>

#include <cstring>
#include <utility>

namespace vexel::desktop {

namespace {

constexpr const char* schemaId = "org.gnome.desktop.interface";
constexpr const char* animationKey = "enable-animations";

// The schema when it is there and holds the key; a reference the caller
// releases.
GSettingsSchema* lookUpSchema(GSettingsSchemaSource* source) {
    if (source == nullptr) {
        return nullptr;
    }
    GSettingsSchema* schema = g_settings_schema_source_lookup(source, schemaId, TRUE);
    if (schema != nullptr && !g_settings_schema_has_key(schema, animationKey)) {
        g_settings_schema_unref(schema);
        return nullptr;
    }
    return schema;
}

// The key is read once here, so that GSettings watches it from now on.
GSettings* openWith(GSettingsSchema* schema, GSettingsBackend* backend) {
    GSettings* settings = g_settings_new_full(schema, backend, nullptr);
    g_settings_schema_unref(schema);
    g_settings_get_boolean(settings, animationKey);
    return settings;
}

} // namespace

std::unique_ptr<GnomeAnimationSetting> GnomeAnimationSetting::open() {
    GSettingsSchema* schema = lookUpSchema(g_settings_schema_source_get_default());
    if (schema == nullptr) {
        return nullptr;
    }
    GSettingsBackend* backend = g_settings_backend_get_default();
    const char* kind = G_OBJECT_TYPE_NAME(backend);
    const bool knowsTheDesktop = std::strcmp(kind, "GMemorySettingsBackend") != 0 &&
                                 std::strcmp(kind, "GNullSettingsBackend") != 0;
    g_object_unref(backend);
    if (!knowsTheDesktop) {
        g_settings_schema_unref(schema);
        return nullptr;
    }
    return std::unique_ptr<GnomeAnimationSetting>(
        new GnomeAnimationSetting(openWith(schema, nullptr)));
}

std::unique_ptr<GnomeAnimationSetting>
GnomeAnimationSetting::open(const std::filesystem::path& schemaFolder,
                            const std::filesystem::path& keyFile) {
    GSettingsSchemaSource* source =
        g_settings_schema_source_new_from_directory(schemaFolder.c_str(), nullptr, TRUE, nullptr);
    GSettingsSchema* schema = lookUpSchema(source);
    if (source != nullptr) {
        g_settings_schema_source_unref(source);
    }
    if (schema == nullptr) {
        return nullptr;
    }
    GSettingsBackend* backend = g_keyfile_settings_backend_new(keyFile.c_str(), "/", nullptr);
    GSettings* settings = openWith(schema, backend);
    g_object_unref(backend);
    return std::unique_ptr<GnomeAnimationSetting>(new GnomeAnimationSetting(settings));
}

GnomeAnimationSetting::GnomeAnimationSetting(GSettings* settings)
    : settings_(settings) {
    handlerId_ = g_signal_connect(settings_, "changed::enable-animations",
                                  G_CALLBACK(&GnomeAnimationSetting::changed), this);
}

GnomeAnimationSetting::~GnomeAnimationSetting() {
    g_signal_handler_disconnect(settings_, handlerId_);
    g_object_unref(settings_);
}

bool GnomeAnimationSetting::enableAnimations() const {
    return g_settings_get_boolean(settings_, animationKey) != FALSE;
}

void GnomeAnimationSetting::setChangeHandler(std::function<void()> handler) {
    handler_ = std::move(handler);
}

void GnomeAnimationSetting::changed(GSettings*, const char*, void* self) {
    auto* setting = static_cast<GnomeAnimationSetting*>(self);
    if (setting->handler_) {
        setting->handler_();
    }
}

} // namespace vexel::desktop
