// Synthetic models of a requested size, written as model files of the
// simulated host (docs/model-format.md), for benchmarks and tests.
//
// With depth 0 the model is one part, Part1.SLDPRT. With depth d >= 1 it is
// an assembly tree: Assembly1.SLDASM holds one instance of each part
// Part1 ... PartN (N = components); Assembly2.SLDASM holds N instances of
// Assembly1, and so on up to the top, Assembly<d>.SLDASM. Every model has the
// same number of configurations (Default, then Config2, Config3, ... derived
// from Default), and an assembly's configuration c uses configuration c of
// its components. So an assembly configuration holds N + N^2 + ... + N^d
// components in its tree.
//
// Each part has an origin and `features` extrusions, Extrude<i>, each with
// its sketch Sketch<i> below it; its `dimensions` dimensions D<k>@Sketch<i>
// are shown by the sketches in turn. Each model has `equations` equations
// (global variables: "Base" = 10, then "V<i>" = "Base" + <i>),
// `parameters` parameters per configuration (the dimensions first, then
// Param<i>), and `properties` custom properties per configuration and as
// many of the document's own.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "sim/model.h"

namespace modelgen {

struct ModelSize {
  int components = 3;
  int depth = 1;
  int features = 4;
  int dimensions = 4;
  int equations = 2;
  int configurations = 2;
  int parameters = 2;
  int properties = 2;
};

struct GeneratedModel {
  // The model to open: the top assembly, or the part for depth 0.
  std::filesystem::path top;
  // Every file written, parts first, the top last.
  std::vector<std::filesystem::path> files;
};

class ModelGenerator {
 public:
  // Limits of the sizes; the product components^depth (the instances in the
  // top assembly's tree) must not exceed kMaxInstances.
  static constexpr int kMaxComponents = 1000;
  static constexpr int kMaxDepth = 8;
  static constexpr int kMaxCount = 100000;
  static constexpr int kMaxConfigurations = 100;
  static constexpr long long kMaxInstances = 1000000;

  // Throws std::invalid_argument naming the size that is out of range
  // (components 1..1000, depth 0..8, configurations 1..100, the other counts
  // 0..100000, dimensions only with at least one feature, components^depth
  // at most 1000000).
  explicit ModelGenerator(const ModelSize& size);

  // Writes the model files into folder (created when missing), replacing
  // files of the same names. Throws sim::ModelFileError or
  // std::filesystem::filesystem_error when a file cannot be written.
  GeneratedModel Write(const std::filesystem::path& folder) const;

  // The content of part number index (1-based) and of the assembly of a
  // level (1-based), as Write writes them.
  sim::ModelData Part(int index) const;
  sim::ModelData Assembly(int level) const;

  static std::string PartFileName(int index);
  static std::string AssemblyFileName(int level);

  const ModelSize& size() const { return size_; }

 private:
  std::u16string ConfigurationName(int index) const;
  void AddCommonContent(sim::ModelData& model, const std::u16string& modelName) const;

  ModelSize size_;
};

}  // namespace modelgen
