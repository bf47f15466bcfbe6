#pragma once
// The stand-in NetWare client's world: file servers with their binderies (objects, item and set
// properties, passwords), the workstation's connections, and directories with trustees on each
// server's SYS volume (kept as real folders under the volumes root). Seeded from a JSON file and
// kept in a state file after every change, so that the next program run sees what this one did.
// A test and demonstration component: it stands where a real NetWare client would be.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace netware::standin {

struct Property {
  std::string name;
  bool isSet = false;
  std::uint8_t security = 0x31;
  std::vector<std::uint32_t> members;  // set: object ids (logical numbers)
  std::string value;                   // item: the segments, 128 bytes each
};

struct Object {
  std::uint32_t id = 0;  // logical number; the client hands it out in network byte order
  std::string name;
  std::uint16_t type = 0;  // host order (3 queue, 7 print server, ...)
  std::uint8_t flags = 0;
  std::uint8_t security = 0x31;
  std::optional<std::string> password;
  std::vector<Property> properties;
  Property* property(const std::string& name);
};

struct Directory {
  std::string path;  // "SYS:SYSTEM/0001A2B3"
  std::uint8_t rightsMask = 0xFF;
  std::map<std::uint32_t, std::uint8_t> trustees;
};

struct FileServer {
  std::string name;
  bool attached = true;
  std::string user = "SUPERVISOR";  // the object logged in on the connection
  std::uint32_t nextId = 0x00010001;
  std::vector<Object> objects;
  std::vector<Directory> directories;

  Object* find(const std::string& name, std::uint16_t type);
  Object* findId(std::uint32_t id);
  Object& add(const std::string& name, std::uint16_t type);
};

// A client function that fails on purpose: after `after` successful calls (on `server`, when
// given), answers `code` once.
struct Fault {
  std::string function;  // "calwin32_21"
  std::string server;
  int after = 0;
  std::uint32_t code = 0x89FF;
  bool spent = false;
};

struct Model {
  bool clientStarts = true;
  std::vector<FileServer> servers;
  std::vector<Fault> faults;
  std::map<std::string, int> calls;  // per function (and server), for the faults
};

// Reads a seed or state document; "" on success, else what is wrong.
std::string modelFromJson(const std::string& text, Model& model);
std::string modelToJson(const Model& model);

// Case-insensitive match of a bindery name against a pattern with "*" and "?".
bool nameMatches(const std::string& pattern, const std::string& name);

}  // namespace netware::standin
