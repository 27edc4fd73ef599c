#pragma once
// An Octave/MATLAB value as the JSON of a score file, for the entries that
// take a score as a struct. Returns false with a message instead of raising
// the host error, so callers can let their C++ objects be destroyed first.

#include <string>

#include <nlohmann/json.hpp>

#include "mex.h"

namespace vt::host {

/// An Octave/MATLAB value as the JSON a score file would hold: struct ->
/// object, cell -> list, text -> string, logical scalar -> true/false,
/// numbers: 1×1 -> number, one row -> list, several rows -> list of rows.
inline bool toJson(const mxArray* a, const std::string& where, nlohmann::json& out,
                   std::string& err) {
  if (mxIsStruct(a)) {
    const std::size_t n = mxGetNumberOfElements(a);
    const int nf = mxGetNumberOfFields(a);
    nlohmann::json list = nlohmann::json::array();
    for (std::size_t i = 0; i < n; ++i) {
      nlohmann::json obj = nlohmann::json::object();
      for (int f = 0; f < nf; ++f) {
        const char* name = mxGetFieldNameByNumber(a, f);
        const mxArray* v = mxGetFieldByNumber(a, i, f);
        nlohmann::json jv;
        if (v == nullptr)
          jv = nlohmann::json::array();
        else if (!toJson(v, where + "." + name, jv, err))
          return false;
        obj[name] = std::move(jv);
      }
      list.push_back(std::move(obj));
    }
    out = n == 1 ? list[0] : list;
    return true;
  }
  if (mxIsCell(a)) {
    out = nlohmann::json::array();
    for (std::size_t i = 0; i < mxGetNumberOfElements(a); ++i) {
      nlohmann::json e;
      const mxArray* c = mxGetCell(a, i);
      if (c == nullptr)
        e = nlohmann::json::array();
      else if (!toJson(c, where + "{" + std::to_string(i + 1) + "}", e, err))
        return false;
      out.push_back(std::move(e));
    }
    return true;
  }
  if (mxIsChar(a)) {
    char* s = mxArrayToString(a);
    if (s == nullptr) {
      err = where + ": could not read the text";
      return false;
    }
    out = std::string(s);
    mxFree(s);
    return true;
  }
  if (mxIsComplex(a) || mxIsSparse(a) || !(mxIsNumeric(a) || mxIsLogical(a))) {
    err = where + ": must be real full numbers, text, a struct or a cell, not " +
          (mxIsComplex(a)  ? "complex "
           : mxIsSparse(a) ? "sparse "
                           : "") +
          mxGetClassName(a);
    return false;
  }
  const std::size_t M = mxGetM(a), N = mxGetN(a);
  if (mxIsLogical(a) && M * N == 1) {
    out = static_cast<bool>(mxGetLogicals(a)[0] != 0);
    return true;
  }
  if (mxGetNumberOfDimensions(a) > 2) {
    err = where + ": must have at most two dimensions";
    return false;
  }
  mxArray* d = nullptr;  // values as doubles
  if (!mxIsDouble(a)) {
    mxArray* in = const_cast<mxArray*>(a);
    if (mexCallMATLAB(1, &d, 1, &in, "double") != 0 || d == nullptr) {
      err = where + ": could not convert to double";
      return false;
    }
  }
  const double* v = mxGetPr(d ? d : a);
  if (M * N == 1) {
    out = v[0];
  } else if (M <= 1) {
    out = nlohmann::json::array();
    for (std::size_t c = 0; c < N; ++c) out.push_back(v[c]);
  } else {
    out = nlohmann::json::array();
    for (std::size_t r = 0; r < M; ++r) {
      nlohmann::json row = nlohmann::json::array();
      for (std::size_t c = 0; c < N; ++c) row.push_back(v[c * M + r]);
      out.push_back(std::move(row));
    }
  }
  if (d) mxDestroyArray(d);
  return true;
}

}  // namespace vt::host
