// A decoded message's list shares one block among its bindings, and the codec keeps what it
// decodes in its output's storage until that is full. Both must hand back the right contents
// and free everything exactly once, whatever order the bindings go in (the sanitizer builds
// catch a leak or a double free here).
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "snmp/binding_copy.h"
#include "snmp/codec.h"
#include "snmp/post_error.h"
#include "test_engine_fixture.h"

namespace {

// One binding to encode: a name, and an octet string (text), an OID or an INTEGER.
struct Item {
  std::vector<smiUINT32> name;
  smiUINT32 syntax;
  std::string text;
  std::vector<smiUINT32> oid;
  smiINT32 number = 0;
};

std::vector<smiBYTE> encode(std::vector<Item>& items, std::size_t capacity = snmp::codec::kMaxMessage) {
  std::vector<smiOID> names(items.size());
  std::vector<smiVALUE> values(items.size());
  std::vector<snmp::codec::BindingRef> refs(items.size());
  for (std::size_t i = 0; i < items.size(); ++i) {
    Item& it = items[i];
    names[i] = {static_cast<smiUINT32>(it.name.size()), it.name.data()};
    values[i].syntax = it.syntax;
    if (it.syntax == SNMP_SYNTAX_OCTETS) {
      values[i].value.string = {static_cast<smiUINT32>(it.text.size()),
                                it.text.empty() ? nullptr : reinterpret_cast<smiBYTE*>(it.text.data())};
    } else if (it.syntax == SNMP_SYNTAX_OID) {
      values[i].value.oid = {static_cast<smiUINT32>(it.oid.size()), it.oid.data()};
    } else {
      values[i].value.sNumber = it.number;
    }
    refs[i] = {&names[i], &values[i]};
  }
  static const char kCommunity[] = "public";
  snmp::codec::EncodeInput in;
  in.pduType = SNMP_PDU_RESPONSE;
  in.requestId = 7;
  in.community = reinterpret_cast<const smiBYTE*>(kCommunity);
  in.communityLength = 6;
  in.bindings = refs.data();
  in.count = static_cast<smiUINT32>(refs.size());
  std::vector<smiBYTE> buffer(capacity);
  const smiBYTE* start = nullptr;
  std::size_t length = 0;
  EXPECT_EQ(snmp::codec::encodeInto(in, buffer.data(), buffer.size(), &start, &length), 0u);
  return std::vector<smiBYTE>(start, start + length);
}

std::vector<smiUINT32> ids(const smiOID& oid) { return std::vector<smiUINT32>(oid.ptr, oid.ptr + oid.len); }

// What a value holds, as text for one comparison per case.
std::string contents(const smiVALUE& v) {
  switch (v.syntax) {
    case SNMP_SYNTAX_OCTETS:
      return "s:" + std::string(reinterpret_cast<const char*>(v.value.string.ptr), v.value.string.len);
    case SNMP_SYNTAX_OID: {
      std::string s = "o:";
      for (smiUINT32 i = 0; i < v.value.oid.len; ++i) s += std::to_string(v.value.oid.ptr[i]) + ".";
      return s;
    }
    case SNMP_SYNTAX_INT:
      return "i:" + std::to_string(v.value.sNumber);
    default:
      return "?" + std::to_string(v.syntax);
  }
}

std::string contents(const Item& it) {
  smiVALUE v{};
  v.syntax = it.syntax;
  if (it.syntax == SNMP_SYNTAX_OCTETS) {
    v.value.string = {static_cast<smiUINT32>(it.text.size()), reinterpret_cast<smiBYTE*>(const_cast<char*>(it.text.data()))};
  } else if (it.syntax == SNMP_SYNTAX_OID) {
    v.value.oid = {static_cast<smiUINT32>(it.oid.size()), const_cast<smiUINT32*>(it.oid.data())};
  } else {
    v.value.sNumber = it.number;
  }
  return contents(v);
}

std::vector<Item> mixedItems() {
  return {
      {{1, 3, 6, 1, 2, 1, 1, 5, 0}, SNMP_SYNTAX_OCTETS, "print server", {}},
      {{1, 3, 6, 1, 2, 1, 1, 2, 0}, SNMP_SYNTAX_OID, "", {1, 3, 6, 1, 4, 1, 1240, 4000000000u}},
      {{1, 3, 6, 1, 2, 1, 1, 6, 0}, SNMP_SYNTAX_OCTETS, "", {}},  // empty: no bytes at all
      {{1, 3, 6, 1, 2, 1, 1, 7, 0}, SNMP_SYNTAX_INT, "", {}, -72},
      {{1, 3, 6, 1, 4, 1, 1240, 2, 3, 1, 1, 0}, SNMP_SYNTAX_OCTETS, "x", {}},
  };
}

class DecodedListTest : public EngineTest {
 protected:
  HSNMP_VBL decode(const std::vector<smiBYTE>& wire) {
    smiOCTETS msg{static_cast<smiUINT32>(wire.size()), const_cast<smiBYTE*>(wire.data())};
    HSNMP_CONTEXT context = 0;
    HSNMP_PDU pdu = 0;
    EXPECT_EQ(SnmpDecodeMsg(session, nullptr, nullptr, &context, &pdu, &msg), wire.size());
    HSNMP_VBL vbl = 0;
    smiINT type = 0, status = 0, index = 0;
    smiINT32 id = 0;
    EXPECT_EQ(SnmpGetPduData(pdu, &type, &id, &status, &index, &vbl), SNMPAPI_SUCCESS);
    SnmpFreeContext(context);
    SnmpFreePdu(pdu);  // the list stays
    return vbl;
  }

  // The list's bindings as name and contents, checked against `expected` in order.
  void expectList(HSNMP_VBL vbl, const std::vector<Item>& expected, const char* when) {
    ASSERT_EQ(SnmpCountVbl(vbl), expected.size()) << when;
    for (std::size_t i = 0; i < expected.size(); ++i) {
      smiOID name{};
      smiVALUE value{};
      ASSERT_EQ(SnmpGetVb(vbl, static_cast<smiUINT32>(i + 1), &name, &value), SNMPAPI_SUCCESS) << when << " #" << i;
      EXPECT_EQ(ids(name), expected[i].name) << when << " #" << i;
      EXPECT_EQ(contents(value), contents(expected[i])) << when << " #" << i;
      SnmpFreeDescriptor(SNMP_SYNTAX_OID, &name);
      if (value.syntax == SNMP_SYNTAX_OCTETS) SnmpFreeDescriptor(SNMP_SYNTAX_OCTETS, &value.value.string);
      if (value.syntax == SNMP_SYNTAX_OID) SnmpFreeDescriptor(SNMP_SYNTAX_OID, &value.value.oid);
    }
  }
};

// Bindings of one decoded list replaced, deleted and duplicated one by one, the list and its
// copy freed in either order: every step sees the right contents and nothing is freed twice.
TEST_F(DecodedListTest, BindingsOfOneMessageLiveAndDieOneByOne) {
  struct Case {
    const char* name;
    bool freeCopyFirst;
  };
  const Case cases[] = {{"copy freed first", true}, {"original freed first", false}};
  for (const Case& c : cases) {
    std::vector<Item> items = mixedItems();
    const std::vector<smiBYTE> wire = encode(items);
    const HSNMP_VBL vbl = decode(wire);
    ASSERT_NE(vbl, 0u) << c.name;
    expectList(vbl, items, c.name);

    // Replace the second binding with an engine-owned one, then delete the first.
    Item fresh{{1, 3, 6, 1, 2, 1, 1, 4, 0}, SNMP_SYNTAX_OCTETS, "replaced", {}};
    smiOID freshName{static_cast<smiUINT32>(fresh.name.size()), fresh.name.data()};
    smiVALUE freshValue{};
    freshValue.syntax = SNMP_SYNTAX_OCTETS;
    freshValue.value.string = {8, reinterpret_cast<smiBYTE*>(fresh.text.data())};
    ASSERT_EQ(SnmpSetVb(vbl, 2, &freshName, &freshValue), 2u) << c.name;
    items[1] = fresh;
    ASSERT_EQ(SnmpDeleteVb(vbl, 1), SNMPAPI_SUCCESS) << c.name;
    items.erase(items.begin());
    expectList(vbl, items, c.name);

    const HSNMP_VBL copy = SnmpDuplicateVbl(session, vbl);
    ASSERT_NE(copy, 0u) << c.name;
    ASSERT_EQ(SnmpDeleteVb(vbl, static_cast<smiUINT32>(items.size())), SNMPAPI_SUCCESS) << c.name;
    expectList(copy, items, c.name);
    items.pop_back();
    expectList(vbl, items, c.name);

    if (c.freeCopyFirst) SnmpFreeVbl(copy);
    ASSERT_EQ(SnmpFreeVbl(vbl), SNMPAPI_SUCCESS) << c.name;
    if (!c.freeCopyFirst) SnmpFreeVbl(copy);
  }
}

// A message larger than the codec's storage (strings of a few hundred bytes, 32 bindings)
// spills over into malloc'ed pieces: every value still arrives whole, through the codec and
// through handles, and a failure after the spill frees what was taken.
TEST_F(DecodedListTest, MessageBeyondTheStorageSpillsOverIntact) {
  std::vector<Item> items;
  for (smiUINT32 i = 0; i < snmp::codec::kMaxBindings; ++i) {
    Item it{{1, 3, 6, 1, 4, 1, 1240, 2, 3, 2, i + 1, 0}, SNMP_SYNTAX_OCTETS, std::string(230, 'a' + i % 26), {}};
    if (i % 4 == 3) {
      it.syntax = SNMP_SYNTAX_OID;
      it.oid.assign(40, i);  // OIDs spill too
      it.oid[0] = 1;
    }
    items.push_back(it);
  }
  const std::vector<smiBYTE> wire = encode(items, 16384);
  ASSERT_GT(wire.size(), snmp::codec::kDecodeStorage);

  auto out = std::make_unique<snmp::codec::DecodeOutput>();
  ASSERT_EQ(snmp::codec::decodeMessage(wire.data(), wire.size(), *out), 0u);
  ASSERT_EQ(out->count, items.size());
  for (std::size_t i = 0; i < items.size(); ++i) {
    EXPECT_EQ(ids(out->bindings[i].name), items[i].name) << "codec #" << i;
    EXPECT_EQ(contents(out->bindings[i].value), contents(items[i])) << "codec #" << i;
  }
  snmp::codec::freeDecoded(*out);

  const HSNMP_VBL vbl = decode(wire);
  expectList(vbl, items, "handles");
  SnmpFreeVbl(vbl);

  // The last binding's value cut short: refused, and nothing of the earlier ones leaks.
  std::vector<smiBYTE> broken = wire;
  broken[broken.size() - 1] = 0x80;  // last OID group left unfinished
  ASSERT_EQ(items.back().syntax, SNMP_SYNTAX_OID);
  EXPECT_EQ(snmp::codec::decodeMessage(broken.data(), broken.size(), *out), static_cast<smiUINT32>(SNMPAPI_MESSAGE_INVALID));
  EXPECT_EQ(out->count, 0u);
}

// An output filled by hand, its pieces outside the codec's storage: the list copy cannot move
// the storage as a whole and copies each piece instead, with the same contents.
TEST(DecodedListCopy, PiecesOutsideTheStorageAreCopiedOneByOne) {
  std::vector<smiUINT32> name{1, 3, 6, 1, 2, 1, 1, 5, 0};
  std::vector<smiUINT32> target{1, 3, 6, 1, 4, 1, 1240};
  std::string text = "print server";
  auto out = std::make_unique<snmp::codec::DecodeOutput>();
  out->count = 2;
  out->storageUsed = 0;
  out->spilled = false;
  for (auto& b : out->bindings) b = {};
  out->bindings[0].name = {static_cast<smiUINT32>(name.size()), name.data()};
  out->bindings[0].value.syntax = SNMP_SYNTAX_OCTETS;
  out->bindings[0].value.value.string = {static_cast<smiUINT32>(text.size()), reinterpret_cast<smiBYTE*>(text.data())};
  out->bindings[1].name = {static_cast<smiUINT32>(name.size()), name.data()};
  out->bindings[1].value.syntax = SNMP_SYNTAX_OID;
  out->bindings[1].value.value.oid = {static_cast<smiUINT32>(target.size()), target.data()};

  snmp::Binding kept[snmp::kMaxBindings] = {};
  ASSERT_EQ(snmp::copyDecoded(*out, kept), snmp::kOk);
  name.assign(name.size(), 0);  // the copies must not point at the originals
  target.assign(target.size(), 0);
  text.assign(text.size(), '-');
  const std::vector<smiUINT32> expectedName{1, 3, 6, 1, 2, 1, 1, 5, 0};
  EXPECT_EQ(ids(*kept[0].name), expectedName);
  EXPECT_EQ(contents(*kept[0].value), "s:print server");
  EXPECT_EQ(ids(*kept[1].name), expectedName);
  EXPECT_EQ(contents(*kept[1].value), "o:1.3.6.1.4.1.1240.");
  snmp::freeBinding(kept[1]);
  snmp::freeBinding(kept[0]);
}

}  // namespace
