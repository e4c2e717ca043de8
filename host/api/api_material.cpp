// MQMat_*: material properties. A null material reads as zero and ignores
// writes.
#include <string>

#include "host/api/call_trace.h"
#include "host/api/handles.h"
#include "host/api/host_exports.h"
#include "hostapi/mq_codes.h"

using namespace pavlex::host;
using namespace pavlex::host::api;

namespace {

float Read(MQMaterial mat, float HostMaterial::*field) {
  return mat ? FromHandle(mat)->*field : 0.0f;
}
void Write(MQMaterial mat, float HostMaterial::*field, float value) {
  if (mat) FromHandle(mat)->*field = value;
}
void ReadName(MQMaterial mat, std::string HostMaterial::*field, char* buffer, int32_t size) {
  if (!buffer || size < 1) return;
  CopyUtf8(mat ? std::string_view(FromHandle(mat)->*field) : std::string_view(), buffer, size);
}
void WriteName(MQMaterial mat, std::string HostMaterial::*field, const char* name) {
  if (mat && name) Guarded([&] { FromHandle(mat)->*field = name; });
}

}  // namespace

PAVLEX_HOST_FN(void) MQMat_Delete(MQMaterial mat) {
  PAVLEX_TRACE_CALL();
  // As MQObj_Delete: only registered (so live, caller-owned) handles.
  if (mat && ReleaseCallerOwned(mat) && FromHandle(mat)->document == nullptr) delete FromHandle(mat);
}

PAVLEX_HOST_FN(int32_t) MQMat_GetIntValue(MQMaterial mat, int32_t code) {
  PAVLEX_TRACE_CALL();
  return mat && code == MQMAT_ID_UNIQUE_ID ? FromHandle(mat)->uniqueId : 0;
}

PAVLEX_HOST_FN(void) MQMat_GetColor(MQMaterial mat, MQColor* out) {
  PAVLEX_TRACE_CALL();
  if (out) *out = mat ? FromHandle(mat)->color : MQColor{0, 0, 0};
}

PAVLEX_HOST_FN(void) MQMat_SetColor(MQMaterial mat, const MQColor* color) {
  PAVLEX_TRACE_CALL();
  if (mat && color) FromHandle(mat)->color = *color;
}

PAVLEX_HOST_FN(float) MQMat_GetAlpha(MQMaterial mat) {
  PAVLEX_TRACE_CALL();
  return Read(mat, &HostMaterial::alpha);
}
PAVLEX_HOST_FN(float) MQMat_GetDiffuse(MQMaterial mat) {
  PAVLEX_TRACE_CALL();
  return Read(mat, &HostMaterial::diffuse);
}
PAVLEX_HOST_FN(float) MQMat_GetAmbient(MQMaterial mat) {
  PAVLEX_TRACE_CALL();
  return Read(mat, &HostMaterial::ambient);
}
PAVLEX_HOST_FN(float) MQMat_GetEmission(MQMaterial mat) {
  PAVLEX_TRACE_CALL();
  return Read(mat, &HostMaterial::emission);
}
PAVLEX_HOST_FN(float) MQMat_GetSpecular(MQMaterial mat) {
  PAVLEX_TRACE_CALL();
  return Read(mat, &HostMaterial::specular);
}
PAVLEX_HOST_FN(float) MQMat_GetPower(MQMaterial mat) {
  PAVLEX_TRACE_CALL();
  return Read(mat, &HostMaterial::power);
}

PAVLEX_HOST_FN(void) MQMat_SetAlpha(MQMaterial mat, float value) {
  PAVLEX_TRACE_CALL();
  Write(mat, &HostMaterial::alpha, value);
}
PAVLEX_HOST_FN(void) MQMat_SetDiffuse(MQMaterial mat, float value) {
  PAVLEX_TRACE_CALL();
  Write(mat, &HostMaterial::diffuse, value);
}
PAVLEX_HOST_FN(void) MQMat_SetAmbient(MQMaterial mat, float value) {
  PAVLEX_TRACE_CALL();
  Write(mat, &HostMaterial::ambient, value);
}
PAVLEX_HOST_FN(void) MQMat_SetEmission(MQMaterial mat, float value) {
  PAVLEX_TRACE_CALL();
  Write(mat, &HostMaterial::emission, value);
}
PAVLEX_HOST_FN(void) MQMat_SetSpecular(MQMaterial mat, float value) {
  PAVLEX_TRACE_CALL();
  Write(mat, &HostMaterial::specular, value);
}
PAVLEX_HOST_FN(void) MQMat_SetPower(MQMaterial mat, float value) {
  PAVLEX_TRACE_CALL();
  Write(mat, &HostMaterial::power, value);
}

PAVLEX_HOST_FN(void) MQMat_GetTextureName(MQMaterial mat, char* buffer, int32_t size) {
  PAVLEX_TRACE_CALL();
  ReadName(mat, &HostMaterial::textureName, buffer, size);
}
PAVLEX_HOST_FN(void) MQMat_GetAlphaName(MQMaterial mat, char* buffer, int32_t size) {
  PAVLEX_TRACE_CALL();
  ReadName(mat, &HostMaterial::alphaName, buffer, size);
}
PAVLEX_HOST_FN(void) MQMat_GetBumpName(MQMaterial mat, char* buffer, int32_t size) {
  PAVLEX_TRACE_CALL();
  ReadName(mat, &HostMaterial::bumpName, buffer, size);
}

PAVLEX_HOST_FN(void) MQMat_SetName(MQMaterial mat, const char* name) {
  PAVLEX_TRACE_CALL();
  WriteName(mat, &HostMaterial::name, name);
}
PAVLEX_HOST_FN(void) MQMat_SetTextureName(MQMaterial mat, const char* name) {
  PAVLEX_TRACE_CALL();
  WriteName(mat, &HostMaterial::textureName, name);
}
PAVLEX_HOST_FN(void) MQMat_SetAlphaName(MQMaterial mat, const char* name) {
  PAVLEX_TRACE_CALL();
  WriteName(mat, &HostMaterial::alphaName, name);
}
PAVLEX_HOST_FN(void) MQMat_SetBumpName(MQMaterial mat, const char* name) {
  PAVLEX_TRACE_CALL();
  WriteName(mat, &HostMaterial::bumpName, name);
}
