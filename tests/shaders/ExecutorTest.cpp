// The executor over many pixels and vertices: results do not depend on the worker count, and
// tiles at the edges of a rectangle shade and store only their own pixels.
#include <ShaderAssembler.h>
#include <TestSampler.h>
#include <cpu/pool/WorkerPool.h>
#include <cpu/shader/ShaderExecutor.h>
#include <cpu/shader/ShaderSampler.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

namespace
{
ShaderPlan PlanOf(const std::string& strText)
{
    ShaderAssembly result;
    EXPECT_TRUE(AssembleShaderText(strText.data(), strText.size(), ShaderAssemblyOptions(), result));
    ShaderPlan plan;
    std::string strError;
    EXPECT_TRUE(BuildShaderPlan(result.tokens.data(), result.tokens.size(), plan, strError)) << strError;
    return plan;
}
}

TEST(ExecutorTest, PixelsIdenticalWithOneTwoAndThreeWorkers)
{
    ShaderPlan plan = PlanOf(
        "ps_2_0\ndcl t0.xy\ndcl t1\ndcl_2d s0\n"
        "texld r0, t0, s0\n"
        "mad r1, r0, c0, t1\n"
        "nrm r2.xyz, r1\n"
        "dp3 r3.x, r2, c1\n"
        "pow r3.y, r3.x, c0.w\n"
        "mul r4, r0, r3.y\n"
        "texld r5, r2, s0\n"
        "cmp r4.w, -r3.x, c1.w, r5.x\n"
        "texkill r1\n"
        "mov oC0, r4\nmov oC1, r5\nmov oDepth, r3.x\n");
    TestTexture texture;
    texture.nWidth = texture.nHeight = 4;
    for (int i = 0; i < 64; ++i)
        texture.texels.push_back(std::sin((float)i * 0.7f));
    texture.bLinear = true;
    TestSampler sampler;
    sampler.SetTexture(0, &texture);
    const float constants[8] = {1.5f, -0.5f, 2.0f, 3.0f, 0.3f, 0.6f, -0.7f, 0.25f};
    const unsigned W = 37, H = 21;

    std::vector<float> reference[3];
    std::vector<unsigned char> referenceKill;
    for (unsigned nThreads = 1; nThreads <= 3; ++nThreads)
    {
        std::vector<float> outputs[3] = {std::vector<float>(W * H * 4, -7.0f), std::vector<float>(W * H * 4, -7.0f),
                                         std::vector<float>(W * H, -7.0f)};
        std::vector<unsigned char> killed(W * H, 9);
        ShadeRectJob job;
        job.pPlan = &plan;
        job.pConstants = constants;
        job.nConstants = 2;
        job.pSampler = &sampler;
        job.nWidth = W;
        job.nHeight = H;
        job.texcoords[0][0] = {0.0f, 1.0f / W, 0.0f};
        job.texcoords[0][1] = {0.0f, 0.0f, 1.0f / H};
        job.texcoords[1][0] = {-0.5f, 0.03f, 0.01f};
        job.texcoords[1][1] = {0.2f, -0.02f, 0.04f};
        job.texcoords[1][2] = {1.0f, 0.0f, -0.05f};
        job.pOutputs[0] = outputs[0].data();
        job.pOutputs[1] = outputs[1].data();
        job.pOutputs[4] = outputs[2].data();
        job.pKilled = killed.data();
        WorkerPool pool(nThreads);
        ASSERT_EQ(pool.GetThreadCount(), nThreads);
        ShadeRect(job, pool);
        if (nThreads == 1)
        {
            for (int k = 0; k < 3; ++k)
                reference[k] = outputs[k];
            referenceKill = killed;
            // Every pixel written, some killed and some not.
            for (const std::vector<float>& output : outputs)
                for (float f : output)
                    ASSERT_NE(f, -7.0f);
            size_t nKilled = 0;
            for (unsigned char k : killed)
                nKilled += k;
            EXPECT_GT(nKilled, 0u);
            EXPECT_LT(nKilled, (size_t)W * H);
            continue;
        }
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(std::memcmp(outputs[k].data(), reference[k].data(), outputs[k].size() * sizeof(float)), 0)
                << nThreads << " workers, output " << k;
        EXPECT_EQ(killed, referenceKill) << nThreads << " workers";
    }
    // One pixel against the formula: the texel read at t0 = (x/W, y/H), then r1 = r0 c0 + t1 and so on.
    unsigned x = 30, y = 17;
    float t1[3] = {-0.5f + 0.03f * x + 0.01f * y, 0.2f - 0.02f * x + 0.04f * y, 1.0f - 0.05f * y};
    float r0[4];
    float u = (float)x / W, v = (float)y / H;
    float o0[4], o1[4], o2[4], o3[4];
    float* out[4] = {o0, o1, o2, o3};
    float uq[4] = {u, u, u, u}, vq[4] = {v, v, v, v}, wq[4] = {};
    const float* coordq[3] = {uq, vq, wq};
    sampler.SampleQuads(0, coordq, nullptr, 4, out);
    for (int c = 0; c < 4; ++c)
        r0[c] = out[c][0];
    float r1[3];
    for (int c = 0; c < 3; ++c)
        r1[c] = r0[c] * constants[c] + t1[c];
    float fLength = std::sqrt(r1[0] * r1[0] + r1[1] * r1[1] + r1[2] * r1[2]);
    float r3x = (r1[0] * 0.3f + r1[1] * 0.6f - r1[2] * 0.7f) / fLength;
    EXPECT_NEAR(reference[2][y * W + x], r3x, 1e-4f);
    EXPECT_NEAR(reference[0][(y * W + x) * 4], r0[0] * std::pow(std::fabs(r3x), 3.0f), 1e-4f);
}

TEST(ExecutorTest, VerticesIdenticalWithOneTwoAndThreeWorkers)
{
    ShaderPlan plan = PlanOf("vs_2_0\ndcl_position v0\ndcl_normal v1\n"
                             "m4x4 oPos, v0, c0\n"
                             "nrm r0.xyz, v1\n"
                             "dp3 r1.x, r0, c4\n"
                             "max r1.x, r1.x, c5.x\n"
                             "exp r1.y, r1.x\n"
                             "mul oD0, r1.xxxy, c6\n"
                             "mov oT0, v1\n");
    const float constants[7 * 4] = {1, 0, 0, 0.5f, 0, 1, 0, 0.25f, 0, 0, 1, 0, 0, 0, 0, 1,
                                    0.6f, 0.8f, 0, 0, 0, 0, 0, 0, 1, 0.5f, 0.25f, 2};
    const unsigned N = 300;
    std::vector<float> positions(N * 4), normals(N * 4);
    for (unsigned i = 0; i < N * 4; ++i)
    {
        positions[i] = std::cos((float)i * 0.37f) * 10.0f;
        normals[i] = std::sin((float)i * 1.3f);
    }
    std::vector<float> reference[3];
    for (unsigned nThreads = 1; nThreads <= 3; ++nThreads)
    {
        std::vector<float> outputs[3] = {std::vector<float>(N * 4), std::vector<float>(N * 4), std::vector<float>(N * 4)};
        ShadeVerticesJob job;
        job.pPlan = &plan;
        job.pConstants = constants;
        job.nConstants = 7;
        job.nVertices = N;
        job.pInputs[0] = positions.data();
        job.pInputs[1] = normals.data();
        job.pOutputs[0] = outputs[0].data();
        job.pOutputs[3] = outputs[1].data();
        job.pOutputs[5] = outputs[2].data();
        WorkerPool pool(nThreads);
        ShadeVertices(job, pool);
        for (int k = 0; k < 3; ++k)
        {
            if (nThreads == 1)
                reference[k] = outputs[k];
            else
                EXPECT_EQ(std::memcmp(outputs[k].data(), reference[k].data(), N * 4 * sizeof(float)), 0) << nThreads;
        }
    }
    // Last vertex (a partial block): oPos.x = p.x + 0.5 p.w, oT0 = the normal.
    unsigned i = N - 1;
    EXPECT_EQ(reference[0][i * 4], positions[i * 4] * 1.0f + positions[i * 4 + 1] * 0.0f + positions[i * 4 + 2] * 0.0f +
                                       positions[i * 4 + 3] * 0.5f);
    EXPECT_EQ(reference[2][i * 4 + 2], normals[i * 4 + 2]);
}

namespace
{
// Records the coordinates each call receives, to check the quad layout the sampler relies on.
class RecordingSampler final : public ShaderSampler
{
public:
    void SampleQuads(unsigned, const float* const coord[3], const float*, unsigned nLanes, float* const out[4]) override
    {
        for (unsigned i = 0; i < nLanes; ++i)
        {
            u.push_back(coord[0][i]);
            v.push_back(coord[1][i]);
            for (int c = 0; c < 4; ++c)
                out[c][i] = 0.0f;
        }
        m_nCalls += nLanes % 4 == 0 ? 1 : 1000;
    }
    std::vector<float> u, v;
    unsigned m_nCalls = 0;
};
}

TEST(ExecutorTest, SamplerSeesAlignedQuadsInOrder)
{
    ShaderPlan plan = PlanOf("ps_2_0\ndcl t0.xy\ndcl_2d s0\ntexld r0, t0, s0\nmov oC0, r0\n");
    RecordingSampler sampler;
    ShadeRectJob job;
    job.pPlan = &plan;
    job.pSampler = &sampler;
    job.nWidth = 20;
    job.nHeight = 10;
    job.texcoords[0][0] = {0.0f, 1.0f, 0.0f};   // u = x
    job.texcoords[0][1] = {0.0f, 0.0f, 1.0f};   // v = y
    WorkerPool pool(1);
    ShadeRect(job, pool);
    ASSERT_GT(sampler.m_nCalls, 0u);
    ASSERT_LT(sampler.m_nCalls, 1000u);
    for (size_t q = 0; q + 3 < sampler.u.size(); q += 4)
    {
        // Top-left pixel at even coordinates, then top-right, bottom-left, bottom-right.
        ASSERT_EQ(std::fmod(sampler.u[q], 2.0f), 0.0f) << q;
        ASSERT_EQ(std::fmod(sampler.v[q], 2.0f), 0.0f) << q;
        ASSERT_EQ(sampler.u[q + 1], sampler.u[q] + 1) << q;
        ASSERT_EQ(sampler.v[q + 1], sampler.v[q]) << q;
        ASSERT_EQ(sampler.u[q + 2], sampler.u[q]) << q;
        ASSERT_EQ(sampler.v[q + 2], sampler.v[q] + 1) << q;
        ASSERT_EQ(sampler.u[q + 3], sampler.u[q] + 1) << q;
        ASSERT_EQ(sampler.v[q + 3], sampler.v[q] + 1) << q;
    }
}
