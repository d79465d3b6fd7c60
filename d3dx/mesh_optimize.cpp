// Face and vertex reordering of a triangle list (attribute sort, vertex-cache order,
// compaction).
#include <algorithm>
#include <cmath>
#include <numeric>

#include "d3dx/mesh_geometry.h"

namespace meshgeo {

namespace {

constexpr int kCacheSize = 32;
constexpr int kFront = -2;  // marks a vertex of the face just emitted

// Vertex score after the well-known linear-time vertex cache heuristic: vertices in the
// cache score by recency (the last triangle's three a little lower, so that fans do not
// stall), and vertices with few triangles left are preferred so they can leave the cache.
struct ScoreTables {
  float position[kCacheSize];
  float valence[64];
  ScoreTables() {
    for (int i = 0; i < kCacheSize; ++i) {
      position[i] = i < 3 ? 0.75f
                          : std::pow(1.0f - static_cast<float>(i - 3) / (kCacheSize - 3), 1.5f);
    }
    for (int i = 1; i < 64; ++i) valence[i] = 2.0f / std::sqrt(static_cast<float>(i));
  }
};

float VertexScore(int cachePosition, uint32_t trianglesLeft) {
  static const ScoreTables tables;
  if (trianglesLeft == 0) return -1.0f;
  float score = cachePosition >= 0 ? tables.position[cachePosition] : 0.0f;
  return score + (trianglesLeft < 64 ? tables.valence[trianglesLeft]
                                     : 2.0f / std::sqrt(static_cast<float>(trianglesLeft)));
}

// Reorders the faces [first, last) of faceOrder; indices are the original triangles.
void OrderForCache(const std::vector<uint32_t>& indices, uint32_t numVertices,
                   std::vector<uint32_t>* faceOrder, size_t first, size_t last) {
  const size_t count = last - first;
  if (count < 2) return;
  std::vector<uint32_t> faces(faceOrder->begin() + first, faceOrder->begin() + last);

  // Per-vertex lists of the local faces using it.
  std::vector<uint32_t> used(numVertices, 0);
  for (uint32_t f : faces)
    for (int k = 0; k < 3; ++k) ++used[indices[f * 3 + k]];
  std::vector<uint32_t> start(numVertices + 1, 0);
  for (uint32_t v = 0; v < numVertices; ++v) start[v + 1] = start[v] + used[v];
  std::vector<uint32_t> lists(start[numVertices]);
  std::vector<uint32_t> fill(start.begin(), start.end() - 1);
  for (uint32_t local = 0; local < count; ++local)
    for (int k = 0; k < 3; ++k) lists[fill[indices[faces[local] * 3 + k]]++] = local;

  std::vector<uint32_t> left(used);
  std::vector<int> position(numVertices, -1);
  std::vector<float> score(numVertices, 0.0f);
  for (uint32_t v = 0; v < numVertices; ++v)
    if (used[v] > 0) score[v] = VertexScore(-1, left[v]);
  std::vector<char> done(count, 0);
  auto faceScore = [&](uint32_t local) {
    const uint32_t f = faces[local];
    return score[indices[f * 3]] + score[indices[f * 3 + 1]] + score[indices[f * 3 + 2]];
  };

  std::vector<uint32_t> cache, next;
  cache.reserve(kCacheSize + 3);
  next.reserve(kCacheSize + 3);
  std::vector<uint32_t> ordered;
  ordered.reserve(count);
  size_t cursor = 0;
  while (ordered.size() < count) {
    // Best face touching the cache; else the next face not yet emitted.
    int best = -1;
    float bestScore = -1.0f;
    for (uint32_t v : cache) {
      for (uint32_t i = start[v]; i < start[v + 1]; ++i) {
        uint32_t local = lists[i];
        if (done[local]) continue;
        float s = faceScore(local);
        if (s > bestScore) {
          bestScore = s;
          best = static_cast<int>(local);
        }
      }
    }
    if (best < 0) {
      while (done[cursor]) ++cursor;
      best = static_cast<int>(cursor);
    }
    done[best] = 1;
    ordered.push_back(faces[best]);

    // The face's vertices move to the front of the cache; the rest keep their order.
    next.clear();
    const uint32_t f = faces[best];
    for (int k = 0; k < 3; ++k) {
      uint32_t v = indices[f * 3 + k];
      --left[v];
      if (position[v] != kFront) {
        position[v] = kFront;
        next.push_back(v);
      }
    }
    for (uint32_t v : cache)
      if (position[v] != kFront) next.push_back(v);
    for (uint32_t v : cache) position[v] = -1;
    if (next.size() > static_cast<size_t>(kCacheSize)) {
      for (size_t i = kCacheSize; i < next.size(); ++i) {
        position[next[i]] = -1;
        score[next[i]] = VertexScore(-1, left[next[i]]);
      }
      next.resize(kCacheSize);
    }
    for (size_t i = 0; i < next.size(); ++i) {
      uint32_t v = next[i];
      position[v] = static_cast<int>(i);
      score[v] = VertexScore(position[v], left[v]);
    }
    cache.swap(next);
  }
  std::copy(ordered.begin(), ordered.end(), faceOrder->begin() + first);
}

}  // namespace

bool OptimizeFaces(const std::vector<uint32_t>& indices, const std::vector<uint32_t>& attributes,
                   uint32_t numVertices, const OptimizeOptions& options, OptimizeResult* out) {
  const size_t numFaces = indices.size() / 3;
  if (indices.size() % 3 != 0 || attributes.size() != numFaces) return false;
  for (uint32_t index : indices)
    if (index >= numVertices) return false;

  std::vector<uint32_t> order(numFaces);
  std::iota(order.begin(), order.end(), 0u);
  // A cache order only makes sense inside a subset, so it sorts by attribute as well.
  if (options.attributeSort || options.vertexCache) {
    std::stable_sort(order.begin(), order.end(),
                     [&](uint32_t a, uint32_t b) { return attributes[a] < attributes[b]; });
  }
  if (options.vertexCache) {
    size_t first = 0;
    while (first < numFaces) {
      size_t last = first;
      while (last < numFaces && attributes[order[last]] == attributes[order[first]]) ++last;
      OrderForCache(indices, numVertices, &order, first, last);
      first = last;
    }
  }

  // Vertices in order of first use, so that each subset reads a compact span.
  std::vector<uint32_t> oldToNew(numVertices, kNoNeighbour);
  out->vertexRemap.clear();
  if (options.compact || options.vertexCache) {
    for (uint32_t f : order) {
      for (int k = 0; k < 3; ++k) {
        uint32_t v = indices[f * 3 + k];
        if (oldToNew[v] != kNoNeighbour) continue;
        oldToNew[v] = static_cast<uint32_t>(out->vertexRemap.size());
        out->vertexRemap.push_back(v);
      }
    }
    if (!options.compact) {
      for (uint32_t v = 0; v < numVertices; ++v) {
        if (oldToNew[v] != kNoNeighbour) continue;
        oldToNew[v] = static_cast<uint32_t>(out->vertexRemap.size());
        out->vertexRemap.push_back(v);
      }
    }
  } else {
    out->vertexRemap.resize(numVertices);
    std::iota(out->vertexRemap.begin(), out->vertexRemap.end(), 0u);
    std::iota(oldToNew.begin(), oldToNew.end(), 0u);
  }

  out->faceRemap = order;
  out->indices.resize(numFaces * 3);
  out->attributes.resize(numFaces);
  for (size_t n = 0; n < numFaces; ++n) {
    for (int k = 0; k < 3; ++k) out->indices[n * 3 + k] = oldToNew[indices[order[n] * 3 + k]];
    out->attributes[n] = attributes[order[n]];
  }
  return true;
}

}  // namespace meshgeo
