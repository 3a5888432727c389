#include "store/sms_backup_xml.h"

#include <libxml/xmlreader.h>
#include <libxml/xmlwriter.h>

#include <charconv>
#include <memory>
#include <optional>

#include "device/code_page.h"
#include "device/utf8_codec.h"
#include "store/xml_char_refs.h"

namespace brevalo {
namespace {

const xmlChar* X(const char* text) { return reinterpret_cast<const xmlChar*>(text); }

// ---- writing ----

struct WriterDeleter {
  void operator()(xmlTextWriter* writer) const { xmlFreeTextWriter(writer); }
};
struct BufferDeleter {
  void operator()(xmlBuffer* buffer) const { xmlBufferFree(buffer); }
};

class AttributeWriter {
 public:
  explicit AttributeWriter(xmlTextWriter* writer) : writer_(writer) {}

  bool Text(const char* name, const std::string& value) {
    return xmlTextWriterWriteAttribute(writer_, X(name), X(value.c_str())) >= 0;
  }
  bool Number(const char* name, int64_t value) { return Text(name, std::to_string(value)); }

  // Text with the characters XML cannot carry written as references, the rest escaped by the
  // library.
  bool Unicode(const char* name, std::u16string_view value) {
    bool ok = xmlTextWriterStartAttribute(writer_, X(name)) >= 0;
    std::string run;
    size_t at = 0;
    while (ok && at < value.size()) {
      std::optional<char32_t> c = NextUtf16(value, &at);
      const char32_t code = c ? *c : value[at - 1];  // a lone half, written as what it is
      if (c && !OutsideXmlCharacters(code)) {
        AppendCodePointUtf8(code, &run);
        continue;
      }
      ok = Flush(&run) && xmlTextWriterWriteFormatRaw(writer_, "&#%u;", static_cast<unsigned>(code)) >= 0;
    }
    return ok && Flush(&run) && xmlTextWriterEndAttribute(writer_) >= 0;
  }

 private:
  bool Flush(std::string* run) {
    if (run->empty()) return true;
    const bool ok = xmlTextWriterWriteString(writer_, X(run->c_str())) >= 0;
    run->clear();
    return ok;
  }

  xmlTextWriter* writer_;
};

bool WriteMessage(xmlTextWriter* writer, const BackupMessage& message) {
  AttributeWriter a(writer);
  bool ok = xmlTextWriterStartElement(writer, X("sms")) >= 0;
  ok = ok && a.Number("protocol", 0) && a.Unicode("address", message.address) &&
       a.Number("date", message.date) && a.Number("type", message.type) &&
       a.Text("subject", "null") && a.Unicode("body", message.body) && a.Text("toa", "null") &&
       a.Text("sc_toa", "null") && a.Text("service_center", "null") &&
       a.Number("read", message.read ? 1 : 0) && a.Number("status", -1) &&
       a.Number("locked", 0) && a.Unicode("readable_date", message.readableDate) &&
       a.Unicode("contact_name", message.contactName.empty() ? std::u16string(u"(Unknown)")
                                                              : message.contactName);
  if (ok && !message.folder.empty()) ok = a.Unicode("brevalo_folder", message.folder);
  if (ok && !message.recipients.empty()) ok = a.Unicode("brevalo_recipients", message.recipients);
  return ok && xmlTextWriterEndElement(writer) >= 0;
}

// ---- reading ----

struct ReaderDeleter {
  void operator()(xmlTextReader* reader) const { xmlFreeTextReader(reader); }
};

std::string Position(int line, int column) {
  std::string text = "line " + std::to_string(line);
  if (column > 0) text += ", column " + std::to_string(column);
  return text;
}

// Errors that the library reports apart from the parse (encoding conversion) reach the user
// through the parse's own failure; they are not printed.
void Quiet(void*, const char*, ...) {}

// The first error the parser reports, with where it found it.
void KeepFirstError(void* context, xmlError* error) {
  auto* kept = static_cast<std::string*>(context);
  if (!kept->empty() || error == nullptr) return;
  std::string message = error->message ? error->message : "not well-formed";
  while (!message.empty() && (message.back() == '\n' || message.back() == ' ')) message.pop_back();
  *kept = Position(error->line, error->int2) + ": " + message;
}

class SmsElementReader {
 public:
  SmsElementReader(xmlTextReader* reader, int line) : reader_(reader), line_(line) {}

  std::optional<std::string> Attribute(const char* name) {
    xmlChar* value = xmlTextReaderGetAttribute(reader_, X(name));
    if (value == nullptr) return std::nullopt;
    std::string text(reinterpret_cast<const char*>(value));
    xmlFree(value);
    return text;
  }

  std::u16string Text(const char* name) {
    std::optional<std::string> value = Attribute(name);
    return value ? RestoreControlCharacters(FromUtf8(*value)) : std::u16string();
  }

  bool Require(const char* name, std::string* error) {
    if (Attribute(name)) return true;
    *error = Position(line_, 0) + ": an sms without the attribute \"" + name + "\"";
    return false;
  }

  bool Number(const char* name, int64_t* out, std::string* error) {
    std::optional<std::string> value = Attribute(name);
    if (!value) return true;  // keeps the default
    const char* end = value->data() + value->size();
    auto [stop, code] = std::from_chars(value->data(), end, *out);
    if (code == std::errc() && stop == end) return true;
    *error = Position(line_, 0) + ": the attribute \"" + name + "\" of an sms is not a number: \"" +
             *value + "\"";
    return false;
  }

 private:
  xmlTextReader* reader_;
  int line_;
};

// Backup programs number more kinds of message than the document has places for: failed (5)
// and queued (6) ones are waiting to go, as an outbox message is.
std::optional<int> KnownType(int64_t type) {
  if (type >= kBackupReceived && type <= kBackupOutbox) return static_cast<int>(type);
  if (type == 5 || type == 6) return kBackupOutbox;
  return std::nullopt;
}

bool ReadSms(xmlTextReader* reader, BackupMessage* message, std::string* error) {
  const int line = xmlTextReaderGetParserLineNumber(reader);
  SmsElementReader sms(reader, line);
  for (const char* name : {"address", "date", "type", "body"}) {
    if (!sms.Require(name, error)) return false;
  }
  int64_t type = 0;
  int64_t read = 1;
  if (!sms.Number("date", &message->date, error) || !sms.Number("type", &type, error) ||
      !sms.Number("read", &read, error)) {
    return false;
  }
  std::optional<int> known = KnownType(type);
  if (!known) {
    *error = Position(line, 0) + ": an sms of an unknown type " + std::to_string(type);
    return false;
  }
  message->type = *known;
  message->read = read != 0;
  message->address = sms.Text("address");
  message->body = sms.Text("body");
  message->contactName = sms.Text("contact_name");
  if (message->contactName == u"(Unknown)" || message->contactName == u"null") {
    message->contactName.clear();
  }
  message->folder = sms.Text("brevalo_folder");
  message->recipients = sms.Text("brevalo_recipients");
  message->where = "line " + std::to_string(line);
  return true;
}

}  // namespace

std::string WriteBackupXml(const std::vector<BackupMessage>& messages) {
  std::unique_ptr<xmlBuffer, BufferDeleter> buffer(xmlBufferCreate());
  if (!buffer) return {};
  std::unique_ptr<xmlTextWriter, WriterDeleter> writer(xmlNewTextWriterMemory(buffer.get(), 0));
  if (!writer) return {};
  xmlTextWriterSetIndent(writer.get(), 1);
  xmlTextWriterSetIndentString(writer.get(), X("  "));
  bool ok = xmlTextWriterStartDocument(writer.get(), "1.0", "UTF-8", "yes") >= 0 &&
            xmlTextWriterStartElement(writer.get(), X("smses")) >= 0 &&
            AttributeWriter(writer.get()).Number("count", static_cast<int64_t>(messages.size()));
  for (size_t i = 0; ok && i < messages.size(); ++i) ok = WriteMessage(writer.get(), messages[i]);
  ok = ok && xmlTextWriterEndDocument(writer.get()) >= 0;
  writer.reset();  // flushes into the buffer
  if (!ok) return {};
  return std::string(reinterpret_cast<const char*>(xmlBufferContent(buffer.get())),
                     static_cast<size_t>(xmlBufferLength(buffer.get())));
}

BackupReadResult ReadBackupXml(std::string_view xml) {
  BackupReadResult result;
  xmlSetGenericErrorFunc(nullptr, Quiet);
  const std::string mended = MendCharacterReferences(xml);
  // No network, no entities from outside, no DTD: a backup is data, never instructions.
  std::unique_ptr<xmlTextReader, ReaderDeleter> reader(xmlReaderForMemory(
      mended.data(), static_cast<int>(mended.size()), nullptr, nullptr,
      XML_PARSE_NONET | XML_PARSE_NOBLANKS));
  if (!reader) {
    result.error = "the file cannot be read as XML";
    return result;
  }
  std::string parseError;
  xmlTextReaderSetStructuredErrorHandler(reader.get(), KeepFirstError, &parseError);
  bool sawRoot = false;
  int status = 0;
  while ((status = xmlTextReaderRead(reader.get())) == 1) {
    if (xmlTextReaderNodeType(reader.get()) != XML_READER_TYPE_ELEMENT) continue;
    const std::string name(reinterpret_cast<const char*>(xmlTextReaderConstLocalName(reader.get())));
    const int depth = xmlTextReaderDepth(reader.get());
    if (depth == 0) {
      if (name != "smses") {
        result.error = Position(xmlTextReaderGetParserLineNumber(reader.get()), 0) +
                       ": the root element is \"" + name + "\", not \"smses\"";
        return result;
      }
      sawRoot = true;
    } else if (depth == 1 && name == "sms") {
      BackupMessage message;
      if (!ReadSms(reader.get(), &message, &result.error)) return result;
      result.messages.push_back(std::move(message));
    } else if (depth == 1) {
      ++result.skipped;
    }
  }
  if (status < 0 || !parseError.empty()) {
    result.messages.clear();
    result.error = parseError.empty() ? "the file is not well-formed XML" : parseError;
    return result;
  }
  if (!sawRoot) {
    result.error = "the file holds no \"smses\" element";
    return result;
  }
  result.ok = true;
  return result;
}

}  // namespace brevalo
