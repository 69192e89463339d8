#include "service/UsageFiguresJson.h"

#include "json/JsonConveniences.h"
#include "json/JsonValue.h"

namespace qp {
namespace {

JsonValue list(const std::vector<NamedCount>& counts, const char* nameKey, const char* countKey) {
    JsonValue::Array items;
    for (const NamedCount& entry : counts) {
        JsonObject item;
        item.set(nameKey, entry.name);
        item.set(countKey, entry.count);
        items.emplace_back(std::move(item));
    }
    return items;
}

}  // namespace

std::string usageFiguresJson(const UsageFigures& figures) {
    JsonObject object;
    object.set("sessions", figures.sessions);
    object.set("events", figures.events);
    object.set("sessions_per_day", list(figures.sessionsPerDay, "day", "sessions"));
    object.set("top_events", list(figures.topEvents, "name", "count"));
    object.set("device_classes", list(figures.deviceClasses, "name", "sessions"));
    object.set("system_versions", list(figures.systemVersions, "name", "sessions"));
    // Every string came through the report decoder as well-formed UTF-8, so
    // writing cannot fail.
    return JSONRepresentation(object).value_or("{}") + "\n";
}

}  // namespace qp
