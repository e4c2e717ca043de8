#include "plugin/output/corner_lighting.h"

#include <algorithm>
#include <cmath>

#include "hostapi/mq_codes.h"
#include "plugin/hostlink/host_functions.h"

namespace pavlex {

std::vector<LightRecord> ReadSceneLights(MQDocument document) {
  std::vector<LightRecord> lights;
  MQScene scene = Host().MQDoc_GetScene(document, 0);
  if (!scene) return lights;
  int32_t count = 0;
  Host().MQScene_IntValue(scene, MQSCENE_LIGHT_COUNT, &count);
  for (int32_t i = 0; i < count; ++i) {
    LightRecord light = {{0.0f, 0.0f, 0.0f}, {0.0f, 0.0f, 0.0f}};
    int32_t select = i;
    Host().MQScene_IntValue(scene, MQSCENE_LIGHT_SELECT, &select);
    Host().MQScene_FloatValue(scene, MQSCENE_LIGHT_DIRECTION, light.direction);
    select = i;
    Host().MQScene_IntValue(scene, MQSCENE_LIGHT_SELECT, &select);
    Host().MQScene_FloatValue(scene, MQSCENE_LIGHT_COLOR, light.color);
    lights.push_back(light);
  }
  return lights;
}

CornerColorMap ComputeCornerLighting(MQDocument document, MQObject object) {
  return ComputeCornerLighting(document, object, ReadSceneLights(document));
}

namespace {

MQPoint Sub(const MQPoint& p, const MQPoint& q) {
  return {p.x - q.x, p.y - q.y, p.z - q.z};
}

float Dot(const MQPoint& a, const MQPoint& b) {
  return a.x * b.x + a.y * b.y + a.z * b.z;
}

struct MaterialCoefficients {
  float ambient;
  float diffuse;
};

}  // namespace

CornerColorMap ComputeCornerLighting(MQDocument document, MQObject object, const std::vector<LightRecord>& lights) {
  const HostFunctions& host = Host();
  const int32_t faceCount = std::max(host.MQObj_GetFaceCount(object), 0);
  const size_t faces = static_cast<size_t>(faceCount);

  FaceNormalMap normals;
  normals.normals.assign(faces, MQPoint{0.0f, 0.0f, 0.0f});
  normals.present.assign(faces, 0);
  CornerColorMap result;
  result.offsets.assign(faces + 1, 0);

  std::vector<int32_t> points;
  std::vector<MQPoint> positions;
  for (int32_t f = 0; f < faceCount; ++f) {
    const int32_t m = host.MQObj_GetFacePointCount(object, f);
    result.offsets[static_cast<size_t>(f) + 1] = result.offsets[static_cast<size_t>(f)] + (m > 0 ? m : 0);
    if (m < 1) continue;
    points.resize(static_cast<size_t>(m));
    positions.resize(static_cast<size_t>(m));
    host.MQObj_GetFacePointArray(object, f, points.data());
    for (size_t k = 0; k < points.size(); ++k) {
      positions[k] = {0.0f, 0.0f, 0.0f};
      host.MQObj_GetVertex(object, points[k], &positions[k]);
    }
    const size_t last = points.size() - 1;
    const MQPoint a = Sub(positions[1 % points.size()], positions[0]);
    MQPoint b = Sub(positions[0], positions[last]);
    if (m > 3) {
      const MQPoint c = Sub(positions[2], positions[1]);
      b = {(b.x - c.x) * 0.5f, (b.y - c.y) * 0.5f, (b.z - c.z) * 0.5f};
    }
    MQPoint n = {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
    const float squares = n.x * n.x + n.y * n.y + n.z * n.z;
    const float length = static_cast<float>(std::sqrt(static_cast<double>(squares)));
    if (length > 0.0f) {
      n = {n.x / length, n.y / length, n.z / length};
    } else {
      n = {0.0f, 0.0f, 0.0f};
    }
    normals.normals[static_cast<size_t>(f)] = n;
    normals.present[static_cast<size_t>(f)] = 1;
  }
  result.colors.assign(result.offsets.back(), ColorRGB{0.0f, 0.0f, 0.0f});

  const float angle = host.MQObj_GetSmoothAngle(object);
  const float cosLimit = static_cast<float>(std::cos(static_cast<double>(angle * 6.2831855f / 360.0f)));
  const bool smooth = host.MQObj_GetShading(object) != 0;

  std::vector<MaterialCoefficients> materials;  // per slot + 1; slot 0: none
  std::vector<uint8_t> materialRead;
  std::vector<int32_t> related;
  for (int32_t f = 0; f < faceCount; ++f) {
    if (!normals.Has(f)) continue;
    const MQPoint& faceNormal = normals.normals[static_cast<size_t>(f)];
    const int32_t materialIndex = host.MQObj_GetFaceMaterial(object, f);
    const size_t slot = materialIndex < 0 ? 0 : static_cast<size_t>(materialIndex) + 1;
    if (slot >= materials.size()) {
      materials.resize(slot + 1);
      materialRead.resize(slot + 1, 0);
    }
    if (!materialRead[slot]) {
      MQMaterial material = materialIndex < 0 ? nullptr : host.MQDoc_GetMaterial(document, materialIndex);
      materials[slot] = material ? MaterialCoefficients{host.MQMat_GetAmbient(material), host.MQMat_GetDiffuse(material)}
                                 : MaterialCoefficients{0.5f, 0.5f};
      materialRead[slot] = 1;
    }
    const MaterialCoefficients coefficients = materials[slot];
    const int32_t m = host.MQObj_GetFacePointCount(object, f);
    points.resize(static_cast<size_t>(m));
    host.MQObj_GetFacePointArray(object, f, points.data());
    const size_t base = result.offsets[static_cast<size_t>(f)];
    const size_t corners = std::min(points.size(), result.offsets[static_cast<size_t>(f) + 1] - base);
    for (size_t k = 0; k < corners; ++k) {
      MQPoint n = faceNormal;
      if (smooth) {
        MQPoint sum = faceNormal;
        int32_t count = 1;
        const int32_t relatedCount = host.MQObj_GetVertexRelatedFaces(object, points[k], nullptr);
        related.resize(static_cast<size_t>(std::max(relatedCount, 0)));
        if (relatedCount > 0) host.MQObj_GetVertexRelatedFaces(object, points[k], related.data());
        for (int32_t g : related) {
          if (g == f || !normals.Has(g)) continue;
          const MQPoint& other = normals.normals[static_cast<size_t>(g)];
          if (Dot(other, faceNormal) >= cosLimit) {
            sum = {sum.x + other.x, sum.y + other.y, sum.z + other.z};
            ++count;
          }
        }
        const float countF = static_cast<float>(count);
        n = {sum.x / countF, sum.y / countF, sum.z / countF};
      }
      ColorRGB acc = {0.0f, 0.0f, 0.0f};
      for (const LightRecord& light : lights) {
        const float d = -(n.x * light.direction[0] + n.y * light.direction[1] + n.z * light.direction[2]);
        const float diffuse = d < 0.0f ? 0.0f : d * coefficients.diffuse;
        const float w = coefficients.ambient * 0.3f + diffuse * 0.7f;
        acc.r = std::min(acc.r + w * light.color[0], 1.0f);
        acc.g = std::min(acc.g + w * light.color[1], 1.0f);
        acc.b = std::min(acc.b + w * light.color[2], 1.0f);
      }
      result.colors[base + k] = acc;
    }
  }
  return result;
}

}  // namespace pavlex
