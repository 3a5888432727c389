#include "device/service_request.h"

#include <nlohmann/json.hpp>

#include "device/code_page.h"
#include "device/screen_remote_protocol.h"

namespace brevalo {
namespace {

using Json = nlohmann::json;

template <typename T>
std::optional<T> Refuse(std::string* error, std::string why) {
  if (error != nullptr) *error = std::move(why);
  return std::nullopt;
}

std::string Dump(const Json& value) {
  return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

std::optional<Json> ReadLine(std::string_view line, std::string* error) {
  if (line.size() > kMaxServiceLineBytes) return Refuse<Json>(error, "line too long");
  return ParseJsonObjectLine(line, error);
}

// A string field as UTF-16 within `maxUnits`; nothing when it is absent, not a string or longer.
std::optional<std::u16string> TextField(const Json& object, const char* name, size_t maxUnits,
                                        std::string* error) {
  auto field = object.find(name);
  if (field == object.end() || !field->is_string()) {
    return Refuse<std::u16string>(error, std::string("\"") + name + "\" must be a string");
  }
  std::u16string text = FromUtf8(field->get_ref<const std::string&>());
  if (text.size() > maxUnits) {
    return Refuse<std::u16string>(error, std::string("\"") + name + "\" is longer than " +
                                             std::to_string(maxUnits) + " characters");
  }
  return text;
}

// An answer line's object once its "ok" has been checked; an "ok": false answer gives its error.
std::optional<Json> ReadAnswer(std::string_view line, std::string* error) {
  std::optional<Json> answer = ReadLine(line, error);
  if (!answer) return std::nullopt;
  auto ok = answer->find("ok");
  if (ok == answer->end() || !ok->is_boolean()) return Refuse<Json>(error, "answer without \"ok\"");
  if (!ok->get<bool>()) {
    auto why = answer->find("error");
    return Refuse<Json>(error, why != answer->end() && why->is_string()
                                   ? why->get<std::string>()
                                   : std::string("the service refused the request"));
  }
  return answer;
}

bool IsInteger(const Json& value) { return value.is_number_integer() || value.is_number_unsigned(); }

}  // namespace

std::optional<ServiceRequest> ParseServiceRequest(std::string_view line, std::string* error) {
  std::optional<Json> object = ReadLine(line, error);
  if (!object) return std::nullopt;
  auto op = object->find("op");
  if (op == object->end() || !op->is_string()) {
    return Refuse<ServiceRequest>(error, "\"op\" must be a string");
  }
  ServiceRequest request;
  const std::string& name = op->get_ref<const std::string&>();
  if (name == "status") {
    request.op = ServiceOp::Status;
    return request;
  }
  if (name != "sms") return Refuse<ServiceRequest>(error, "unknown op \"" + name + "\"");
  request.op = ServiceOp::Sms;
  std::optional<std::u16string> from = TextField(*object, "from", kMaxSmsAddressUnits, error);
  if (!from) return std::nullopt;
  if (from->empty()) return Refuse<ServiceRequest>(error, "\"from\" is empty");
  std::optional<std::u16string> text = TextField(*object, "text", kMaxSmsTextUnits, error);
  if (!text) return std::nullopt;
  request.from = std::move(*from);
  request.text = std::move(*text);
  if (auto time = object->find("time"); time != object->end()) {
    if (!time->is_number_unsigned() && !(time->is_number_integer() && time->get<int64_t>() >= 0)) {
      return Refuse<ServiceRequest>(error, "\"time\" must be FILETIME ticks");
    }
    request.deliveryTime = time->get<uint64_t>();
  }
  return request;
}

std::string FormatServiceRequest(const ServiceRequest& request) {
  if (request.op == ServiceOp::Status) return Dump({{"op", "status"}});
  Json line = {{"op", "sms"}, {"from", ToUtf8(request.from)}, {"text", ToUtf8(request.text)}};
  if (request.deliveryTime) line["time"] = *request.deliveryTime;
  return Dump(line);
}

std::string FormatSmsOutcome(const SmsOutcome& outcome) {
  return Dump({{"ok", true},
               {"id", outcome.id},
               {"outcome", outcome.deleted ? "deleted" : "kept"},
               {"handled", outcome.handled}});
}

std::string FormatServiceStatus(const ServiceStatus& status) {
  return Dump({{"ok", true}, {"pid", status.pid}, {"ruleClients", status.ruleClients}});
}

std::string FormatServiceError(std::string_view error) {
  return Dump({{"ok", false}, {"error", std::string(error)}});
}

std::optional<SmsOutcome> ParseSmsOutcome(std::string_view line, std::string* error) {
  std::optional<Json> answer = ReadAnswer(line, error);
  if (!answer) return std::nullopt;
  auto id = answer->find("id");
  auto outcome = answer->find("outcome");
  auto handled = answer->find("handled");
  if (id == answer->end() || !IsInteger(*id) || outcome == answer->end() ||
      !outcome->is_string() || handled == answer->end() || !handled->is_boolean()) {
    return Refuse<SmsOutcome>(error, "not an answer to an incoming SMS");
  }
  const std::string& word = outcome->get_ref<const std::string&>();
  if (word != "kept" && word != "deleted") {
    return Refuse<SmsOutcome>(error, "unknown outcome \"" + word + "\"");
  }
  SmsOutcome out;
  out.id = id->is_number_unsigned() && id->get<uint64_t>() > INT64_MAX ? -1 : id->get<int64_t>();
  out.deleted = word == "deleted";
  out.handled = handled->get<bool>();
  return out;
}

std::optional<ServiceStatus> ParseServiceStatus(std::string_view line, std::string* error) {
  std::optional<Json> answer = ReadAnswer(line, error);
  if (!answer) return std::nullopt;
  auto pid = answer->find("pid");
  auto clients = answer->find("ruleClients");
  if (pid == answer->end() || !IsInteger(*pid) || clients == answer->end() ||
      !clients->is_array()) {
    return Refuse<ServiceStatus>(error, "not a status answer");
  }
  ServiceStatus status;
  status.pid = pid->is_number_unsigned() && pid->get<uint64_t>() > INT64_MAX ? -1
                                                                              : pid->get<int64_t>();
  for (const Json& client : *clients) {
    if (!client.is_string()) return Refuse<ServiceStatus>(error, "a rule client is not a string");
    status.ruleClients.push_back(client.get<std::string>());
  }
  return status;
}

}  // namespace brevalo
