// A host session with the Pavlex window shown, a three-quad strip to store
// and lock, and a modal driver that answers message boxes as told.
#pragma once

#include <string>
#include <vector>

#include "host/session/modal_driver.h"
#include "tests/plugin_window/pavlex_session.h"

namespace pavlex::testing {

// Answers every message box with `answer` and keeps what it was asked.
class MessageBoxAnswers : public host::ModalDriver {
 public:
  int32_t messageBox(host::HostSession&, const host::MessageBoxRequest& box) override {
    asked.push_back(box);
    return answer;
  }
  int32_t answer = MQMODALRESULT_CANCEL;
  std::vector<host::MessageBoxRequest> asked;
};

class MemorySessionTest : public PavlexSessionTest {
 protected:
  void SetUp() override {
    PavlexSessionTest::SetUp();
    session().setModalDriver(&answers_);
    ASSERT_TRUE(session().activate(plugin()));
  }
  void TearDown() override {
    if (session_ != nullptr) session().setModalDriver(nullptr);
    PavlexSessionTest::TearDown();
  }

  //  4---5---6---7
  //  | 0 | 1 | 2 |   three quads in a row; face q has UVs u in [q, q + 1]
  //  0---1---2---3
  host::HostObject& Strip() {
    std::vector<MQPoint> points;
    for (int y = 0; y < 2; ++y) {
      for (int x = 0; x < 4; ++x) points.push_back({static_cast<float>(x), static_cast<float>(y), 0});
    }
    std::vector<FaceInput> faces;
    for (int32_t q = 0; q < 3; ++q) {
      const float u = static_cast<float>(q);
      faces.push_back({{q, q + 1, q + 5, q + 4}, {{u, 0}, {u + 1, 0}, {u + 1, 1}, {u, 1}}});
    }
    return AddObject(points, faces);
  }

  host::CommandResult Press(const std::string& path) {
    const host::CommandResult result = driver().press("Pavlex::" + path);
    EXPECT_TRUE(result.done) << result.error;
    return result;
  }
  host::CommandResult Click(const std::string& path, uint32_t modifiers) {
    const host::CommandResult result = driver().click("Pavlex::" + path, modifiers);
    EXPECT_TRUE(result.done) << result.error;
    return result;
  }
  bool Down(const std::string& path) {
    const bool* down = property<bool>(button(path), "down");
    return down != nullptr && *down;
  }

  // The selected corners of an object as (face, corner) pairs, in order.
  static std::vector<std::pair<int32_t, int32_t>> SelectedUVs(const host::HostObject& object) {
    std::vector<std::pair<int32_t, int32_t>> selected;
    for (int32_t f = 0; f < object.faceCount(); ++f) {
      for (int32_t c = 0; c < object.cornerCount(f); ++c) {
        if (object.isUVSelected(f, c)) selected.emplace_back(f, c);
      }
    }
    return selected;
  }

  MessageBoxAnswers answers_;
};

}  // namespace pavlex::testing
