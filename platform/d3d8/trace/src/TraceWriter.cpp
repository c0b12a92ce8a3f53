#include "TraceWriter.h"

#include "VertexFormat.h"

#include <cinttypes>
#include <cstring>

namespace {

struct Name {
    uint32_t value;
    const char* name;
};

#define N(x)                                                                                       \
    { static_cast<uint32_t>(x), #x }

template <size_t Count> std::string lookup(const Name (&table)[Count], uint32_t value) {
    for (const Name& entry : table) {
        if (entry.value == value) {
            return entry.name;
        }
    }
    return TraceWriter::number(value);
}

// Bits by name, joined with " | "; bits without a name as a hexadecimal remainder.
template <size_t Count> std::string flags(const Name (&table)[Count], uint32_t value) {
    if (value == 0) {
        return "0";
    }
    std::string out;
    uint32_t rest = value;
    for (const Name& entry : table) {
        if (entry.value != 0 && (rest & entry.value) == entry.value) {
            out += out.empty() ? "" : " | ";
            out += entry.name;
            rest &= ~entry.value;
        }
    }
    if (rest != 0) {
        out += out.empty() ? "" : " | ";
        out += TraceWriter::hex(rest);
    }
    return out;
}

const Name RENDER_STATES[] = {N(D3DRS_ZENABLE),
                              N(D3DRS_FILLMODE),
                              N(D3DRS_SHADEMODE),
                              N(D3DRS_LINEPATTERN),
                              N(D3DRS_ZWRITEENABLE),
                              N(D3DRS_ALPHATESTENABLE),
                              N(D3DRS_LASTPIXEL),
                              N(D3DRS_SRCBLEND),
                              N(D3DRS_DESTBLEND),
                              N(D3DRS_CULLMODE),
                              N(D3DRS_ZFUNC),
                              N(D3DRS_ALPHAREF),
                              N(D3DRS_ALPHAFUNC),
                              N(D3DRS_DITHERENABLE),
                              N(D3DRS_ALPHABLENDENABLE),
                              N(D3DRS_FOGENABLE),
                              N(D3DRS_SPECULARENABLE),
                              N(D3DRS_ZVISIBLE),
                              N(D3DRS_FOGCOLOR),
                              N(D3DRS_FOGTABLEMODE),
                              N(D3DRS_FOGSTART),
                              N(D3DRS_FOGEND),
                              N(D3DRS_FOGDENSITY),
                              N(D3DRS_EDGEANTIALIAS),
                              N(D3DRS_ZBIAS),
                              N(D3DRS_RANGEFOGENABLE),
                              N(D3DRS_STENCILENABLE),
                              N(D3DRS_STENCILFAIL),
                              N(D3DRS_STENCILZFAIL),
                              N(D3DRS_STENCILPASS),
                              N(D3DRS_STENCILFUNC),
                              N(D3DRS_STENCILREF),
                              N(D3DRS_STENCILMASK),
                              N(D3DRS_STENCILWRITEMASK),
                              N(D3DRS_TEXTUREFACTOR),
                              N(D3DRS_WRAP0),
                              N(D3DRS_WRAP1),
                              N(D3DRS_WRAP2),
                              N(D3DRS_WRAP3),
                              N(D3DRS_WRAP4),
                              N(D3DRS_WRAP5),
                              N(D3DRS_WRAP6),
                              N(D3DRS_WRAP7),
                              N(D3DRS_CLIPPING),
                              N(D3DRS_LIGHTING),
                              N(D3DRS_AMBIENT),
                              N(D3DRS_FOGVERTEXMODE),
                              N(D3DRS_COLORVERTEX),
                              N(D3DRS_LOCALVIEWER),
                              N(D3DRS_NORMALIZENORMALS),
                              N(D3DRS_DIFFUSEMATERIALSOURCE),
                              N(D3DRS_SPECULARMATERIALSOURCE),
                              N(D3DRS_AMBIENTMATERIALSOURCE),
                              N(D3DRS_EMISSIVEMATERIALSOURCE),
                              N(D3DRS_VERTEXBLEND),
                              N(D3DRS_CLIPPLANEENABLE),
                              N(D3DRS_SOFTWAREVERTEXPROCESSING),
                              N(D3DRS_POINTSIZE),
                              N(D3DRS_POINTSIZE_MIN),
                              N(D3DRS_POINTSPRITEENABLE),
                              N(D3DRS_POINTSCALEENABLE),
                              N(D3DRS_POINTSCALE_A),
                              N(D3DRS_POINTSCALE_B),
                              N(D3DRS_POINTSCALE_C),
                              N(D3DRS_MULTISAMPLEANTIALIAS),
                              N(D3DRS_MULTISAMPLEMASK),
                              N(D3DRS_PATCHEDGESTYLE),
                              N(D3DRS_PATCHSEGMENTS),
                              N(D3DRS_DEBUGMONITORTOKEN),
                              N(D3DRS_POINTSIZE_MAX),
                              N(D3DRS_INDEXEDVERTEXBLENDENABLE),
                              N(D3DRS_COLORWRITEENABLE),
                              N(D3DRS_TWEENFACTOR),
                              N(D3DRS_BLENDOP),
                              N(D3DRS_POSITIONORDER),
                              N(D3DRS_NORMALORDER)};

const Name STAGE_STATES[] = {N(D3DTSS_COLOROP),
                             N(D3DTSS_COLORARG1),
                             N(D3DTSS_COLORARG2),
                             N(D3DTSS_ALPHAOP),
                             N(D3DTSS_ALPHAARG1),
                             N(D3DTSS_ALPHAARG2),
                             N(D3DTSS_BUMPENVMAT00),
                             N(D3DTSS_BUMPENVMAT01),
                             N(D3DTSS_BUMPENVMAT10),
                             N(D3DTSS_BUMPENVMAT11),
                             N(D3DTSS_TEXCOORDINDEX),
                             N(D3DTSS_ADDRESSU),
                             N(D3DTSS_ADDRESSV),
                             N(D3DTSS_BORDERCOLOR),
                             N(D3DTSS_MAGFILTER),
                             N(D3DTSS_MINFILTER),
                             N(D3DTSS_MIPFILTER),
                             N(D3DTSS_MIPMAPLODBIAS),
                             N(D3DTSS_MAXMIPLEVEL),
                             N(D3DTSS_MAXANISOTROPY),
                             N(D3DTSS_BUMPENVLSCALE),
                             N(D3DTSS_BUMPENVLOFFSET),
                             N(D3DTSS_TEXTURETRANSFORMFLAGS),
                             N(D3DTSS_ADDRESSW),
                             N(D3DTSS_COLORARG0),
                             N(D3DTSS_ALPHAARG0),
                             N(D3DTSS_RESULTARG)};

const Name TEXTURE_OPS[] = {N(D3DTOP_DISABLE),
                            N(D3DTOP_SELECTARG1),
                            N(D3DTOP_SELECTARG2),
                            N(D3DTOP_MODULATE),
                            N(D3DTOP_MODULATE2X),
                            N(D3DTOP_MODULATE4X),
                            N(D3DTOP_ADD),
                            N(D3DTOP_ADDSIGNED),
                            N(D3DTOP_ADDSIGNED2X),
                            N(D3DTOP_SUBTRACT),
                            N(D3DTOP_ADDSMOOTH),
                            N(D3DTOP_BLENDDIFFUSEALPHA),
                            N(D3DTOP_BLENDTEXTUREALPHA),
                            N(D3DTOP_BLENDFACTORALPHA),
                            N(D3DTOP_BLENDTEXTUREALPHAPM),
                            N(D3DTOP_BLENDCURRENTALPHA),
                            N(D3DTOP_PREMODULATE),
                            N(D3DTOP_MODULATEALPHA_ADDCOLOR),
                            N(D3DTOP_MODULATECOLOR_ADDALPHA),
                            N(D3DTOP_MODULATEINVALPHA_ADDCOLOR),
                            N(D3DTOP_MODULATEINVCOLOR_ADDALPHA),
                            N(D3DTOP_BUMPENVMAP),
                            N(D3DTOP_BUMPENVMAPLUMINANCE),
                            N(D3DTOP_DOTPRODUCT3),
                            N(D3DTOP_MULTIPLYADD),
                            N(D3DTOP_LERP)};

const Name TEXTURE_ARGS[] = {N(D3DTA_DIFFUSE), N(D3DTA_CURRENT),  N(D3DTA_TEXTURE),
                             N(D3DTA_TFACTOR), N(D3DTA_SPECULAR), N(D3DTA_TEMP)};
const Name ADDRESSES[] = {N(D3DTADDRESS_WRAP), N(D3DTADDRESS_MIRROR), N(D3DTADDRESS_CLAMP),
                          N(D3DTADDRESS_BORDER), N(D3DTADDRESS_MIRRORONCE)};
const Name FILTERS[] = {N(D3DTEXF_NONE),        N(D3DTEXF_POINT),     N(D3DTEXF_LINEAR),
                        N(D3DTEXF_ANISOTROPIC), N(D3DTEXF_FLATCUBIC), N(D3DTEXF_GAUSSIANCUBIC)};
const Name BLENDS[] = {
    N(D3DBLEND_ZERO),           N(D3DBLEND_ONE),          N(D3DBLEND_SRCCOLOR),
    N(D3DBLEND_INVSRCCOLOR),    N(D3DBLEND_SRCALPHA),     N(D3DBLEND_INVSRCALPHA),
    N(D3DBLEND_DESTALPHA),      N(D3DBLEND_INVDESTALPHA), N(D3DBLEND_DESTCOLOR),
    N(D3DBLEND_INVDESTCOLOR),   N(D3DBLEND_SRCALPHASAT),  N(D3DBLEND_BOTHSRCALPHA),
    N(D3DBLEND_BOTHINVSRCALPHA)};
const Name COMPARES[] = {N(D3DCMP_NEVER),        N(D3DCMP_LESS),    N(D3DCMP_EQUAL),
                         N(D3DCMP_LESSEQUAL),    N(D3DCMP_GREATER), N(D3DCMP_NOTEQUAL),
                         N(D3DCMP_GREATEREQUAL), N(D3DCMP_ALWAYS)};
const Name STENCIL_OPS[] = {N(D3DSTENCILOP_KEEP),    N(D3DSTENCILOP_ZERO),
                            N(D3DSTENCILOP_REPLACE), N(D3DSTENCILOP_INCRSAT),
                            N(D3DSTENCILOP_DECRSAT), N(D3DSTENCILOP_INVERT),
                            N(D3DSTENCILOP_INCR),    N(D3DSTENCILOP_DECR)};
const Name CULLS[] = {N(D3DCULL_NONE), N(D3DCULL_CW), N(D3DCULL_CCW)};
const Name FILLS[] = {N(D3DFILL_POINT), N(D3DFILL_WIREFRAME), N(D3DFILL_SOLID)};
const Name SHADES[] = {N(D3DSHADE_FLAT), N(D3DSHADE_GOURAUD), N(D3DSHADE_PHONG)};
const Name ZBUFFERS[] = {N(D3DZB_FALSE), N(D3DZB_TRUE), N(D3DZB_USEW)};
const Name BLENDOPS[] = {N(D3DBLENDOP_ADD), N(D3DBLENDOP_SUBTRACT), N(D3DBLENDOP_REVSUBTRACT),
                         N(D3DBLENDOP_MIN), N(D3DBLENDOP_MAX)};
const Name SOURCES[] = {N(D3DMCS_MATERIAL), N(D3DMCS_COLOR1), N(D3DMCS_COLOR2)};
const Name FOGS[] = {N(D3DFOG_NONE), N(D3DFOG_EXP), N(D3DFOG_EXP2), N(D3DFOG_LINEAR)};
const Name PRIMITIVES[] = {N(D3DPT_POINTLIST),    N(D3DPT_LINELIST),      N(D3DPT_LINESTRIP),
                           N(D3DPT_TRIANGLELIST), N(D3DPT_TRIANGLESTRIP), N(D3DPT_TRIANGLEFAN)};
const Name FORMATS[] = {
    N(D3DFMT_UNKNOWN),     N(D3DFMT_R8G8B8),       N(D3DFMT_A8R8G8B8), N(D3DFMT_X8R8G8B8),
    N(D3DFMT_R5G6B5),      N(D3DFMT_X1R5G5B5),     N(D3DFMT_A1R5G5B5), N(D3DFMT_A4R4G4B4),
    N(D3DFMT_R3G3B2),      N(D3DFMT_A8),           N(D3DFMT_A8R3G3B2), N(D3DFMT_X4R4G4B4),
    N(D3DFMT_A2B10G10R10), N(D3DFMT_G16R16),       N(D3DFMT_A8P8),     N(D3DFMT_P8),
    N(D3DFMT_L8),          N(D3DFMT_A8L8),         N(D3DFMT_A4L4),     N(D3DFMT_V8U8),
    N(D3DFMT_L6V5U5),      N(D3DFMT_X8L8V8U8),     N(D3DFMT_Q8W8V8U8), N(D3DFMT_V16U16),
    N(D3DFMT_W11V11U10),   N(D3DFMT_A2W10V10U10),  N(D3DFMT_UYVY),     N(D3DFMT_YUY2),
    N(D3DFMT_DXT1),        N(D3DFMT_DXT2),         N(D3DFMT_DXT3),     N(D3DFMT_DXT4),
    N(D3DFMT_DXT5),        N(D3DFMT_D16_LOCKABLE), N(D3DFMT_D32),      N(D3DFMT_D15S1),
    N(D3DFMT_D24S8),       N(D3DFMT_D16),          N(D3DFMT_D24X8),    N(D3DFMT_D24X4S4),
    N(D3DFMT_VERTEXDATA),  N(D3DFMT_INDEX16),      N(D3DFMT_INDEX32)};
const Name POOLS[] = {N(D3DPOOL_DEFAULT), N(D3DPOOL_MANAGED), N(D3DPOOL_SYSTEMMEM),
                      N(D3DPOOL_SCRATCH)};
const Name DEVICE_TYPES[] = {N(D3DDEVTYPE_HAL), N(D3DDEVTYPE_REF), N(D3DDEVTYPE_SW)};
const Name RESOURCE_TYPES[] = {N(D3DRTYPE_SURFACE),     N(D3DRTYPE_VOLUME),
                               N(D3DRTYPE_TEXTURE),     N(D3DRTYPE_VOLUMETEXTURE),
                               N(D3DRTYPE_CUBETEXTURE), N(D3DRTYPE_VERTEXBUFFER),
                               N(D3DRTYPE_INDEXBUFFER)};
const Name SWAP_EFFECTS[] = {N(D3DSWAPEFFECT_DISCARD), N(D3DSWAPEFFECT_FLIP), N(D3DSWAPEFFECT_COPY),
                             N(D3DSWAPEFFECT_COPY_VSYNC)};
const Name BACK_BUFFER_TYPES[] = {N(D3DBACKBUFFER_TYPE_MONO), N(D3DBACKBUFFER_TYPE_LEFT),
                                  N(D3DBACKBUFFER_TYPE_RIGHT)};
const Name STATE_BLOCK_TYPES[] = {N(D3DSBT_ALL), N(D3DSBT_PIXELSTATE), N(D3DSBT_VERTEXSTATE)};
const Name CUBE_FACES[] = {N(D3DCUBEMAP_FACE_POSITIVE_X), N(D3DCUBEMAP_FACE_NEGATIVE_X),
                           N(D3DCUBEMAP_FACE_POSITIVE_Y), N(D3DCUBEMAP_FACE_NEGATIVE_Y),
                           N(D3DCUBEMAP_FACE_POSITIVE_Z), N(D3DCUBEMAP_FACE_NEGATIVE_Z)};
const Name LIGHT_TYPES[] = {N(D3DLIGHT_POINT), N(D3DLIGHT_SPOT), N(D3DLIGHT_DIRECTIONAL)};
const Name USAGES[] = {
    N(D3DUSAGE_RENDERTARGET),       N(D3DUSAGE_DEPTHSTENCIL), N(D3DUSAGE_WRITEONLY),
    N(D3DUSAGE_SOFTWAREPROCESSING), N(D3DUSAGE_DONOTCLIP),    N(D3DUSAGE_POINTS),
    N(D3DUSAGE_RTPATCHES),          N(D3DUSAGE_NPATCHES),     N(D3DUSAGE_DYNAMIC)};
const Name LOCKS[] = {N(D3DLOCK_READONLY), N(D3DLOCK_DISCARD), N(D3DLOCK_NOOVERWRITE),
                      N(D3DLOCK_NOSYSLOCK), N(D3DLOCK_NO_DIRTY_UPDATE)};
const Name CLEARS[] = {N(D3DCLEAR_TARGET), N(D3DCLEAR_ZBUFFER), N(D3DCLEAR_STENCIL)};
const Name CREATES[] = {N(D3DCREATE_FPU_PRESERVE),
                        N(D3DCREATE_MULTITHREADED),
                        N(D3DCREATE_PUREDEVICE),
                        N(D3DCREATE_SOFTWARE_VERTEXPROCESSING),
                        N(D3DCREATE_HARDWARE_VERTEXPROCESSING),
                        N(D3DCREATE_MIXED_VERTEXPROCESSING)};
const Name FVF_POSITIONS[] = {N(D3DFVF_XYZ),   N(D3DFVF_XYZRHW), N(D3DFVF_XYZB1), N(D3DFVF_XYZB2),
                              N(D3DFVF_XYZB3), N(D3DFVF_XYZB4),  N(D3DFVF_XYZB5)};
const Name FVF_BITS[] = {N(D3DFVF_NORMAL), N(D3DFVF_PSIZE), N(D3DFVF_DIFFUSE), N(D3DFVF_SPECULAR),
                         N(D3DFVF_LASTBETA_UBYTE4)};
const Name RESULTS[] = {N(D3D_OK),
                        N(S_FALSE),
                        N(E_NOINTERFACE),
                        N(E_POINTER),
                        N(E_FAIL),
                        N(E_OUTOFMEMORY),
                        N(D3DERR_WRONGTEXTUREFORMAT),
                        N(D3DERR_UNSUPPORTEDCOLOROPERATION),
                        N(D3DERR_UNSUPPORTEDCOLORARG),
                        N(D3DERR_UNSUPPORTEDALPHAOPERATION),
                        N(D3DERR_UNSUPPORTEDALPHAARG),
                        N(D3DERR_TOOMANYOPERATIONS),
                        N(D3DERR_CONFLICTINGTEXTUREFILTER),
                        N(D3DERR_UNSUPPORTEDFACTORVALUE),
                        N(D3DERR_CONFLICTINGRENDERSTATE),
                        N(D3DERR_UNSUPPORTEDTEXTUREFILTER),
                        N(D3DERR_CONFLICTINGTEXTUREPALETTE),
                        N(D3DERR_DRIVERINTERNALERROR),
                        N(D3DERR_NOTFOUND),
                        N(D3DERR_MOREDATA),
                        N(D3DERR_DEVICELOST),
                        N(D3DERR_DEVICENOTRESET),
                        N(D3DERR_NOTAVAILABLE),
                        N(D3DERR_OUTOFVIDEOMEMORY),
                        N(D3DERR_INVALIDDEVICE),
                        N(D3DERR_INVALIDCALL),
                        N(D3DERR_DRIVERINVALIDCALL)};

#undef N

float asFloat(DWORD bits) {
    float value;
    std::memcpy(&value, &bits, 4);
    return value;
}

} // namespace

TraceWriter::TraceWriter(const std::string& path) {
    file = std::fopen(path.c_str(), "w");
}

TraceWriter::~TraceWriter() {
    if (file != nullptr) {
        std::fclose(file);
    }
}

void TraceWriter::begin(const char* call, const void* self) {
    line = number(frame) + " " + call + "(this = " + object(self, nullptr);
}

void TraceWriter::begin(const char* interfaceName, const char* method, const void* self) {
    line = number(frame) + " " + interfaceName + "::" + method + "(this = " + object(self, nullptr);
}

void TraceWriter::arg(const char* name, const std::string& formatted) {
    line += ", ";
    line += name;
    line += " = ";
    line += formatted;
}

void TraceWriter::end() {
    if (file == nullptr) {
        return;
    }
    line += ")\n";
    std::fwrite(line.data(), 1, line.size(), file);
    std::fflush(file); // a crash must not lose the calls that led to it
}

void TraceWriter::end(HRESULT value) {
    if (value != D3D_OK) {
        line += ") = " + result(value);
        line.push_back('\n');
        if (file != nullptr) {
            std::fwrite(line.data(), 1, line.size(), file);
            std::fflush(file);
        }
        return;
    }
    end();
}

void TraceWriter::endValue(unsigned long long value) {
    line += ") = " + number(value) + "\n";
    if (file != nullptr) {
        std::fwrite(line.data(), 1, line.size(), file);
        std::fflush(file);
    }
}

std::string TraceWriter::object(const void* pointer, const char* kind) {
    if (pointer == nullptr) {
        return "NULL";
    }
    auto found = names.find(pointer);
    if (found != names.end()) {
        return found->second;
    }
    std::string base = kind != nullptr ? kind : "object";
    std::string name = base + number(++counters[base]);
    names.emplace(pointer, name);
    return name;
}

std::string TraceWriter::number(uint64_t value) {
    char text[32];
    std::snprintf(text, sizeof(text), "%" PRIu64, value);
    return text;
}

std::string TraceWriter::signedNumber(int64_t value) {
    char text[32];
    std::snprintf(text, sizeof(text), "%" PRId64, value);
    return text;
}

std::string TraceWriter::hex(uint64_t value) {
    char text[32];
    std::snprintf(text, sizeof(text), "0x%" PRIx64, value);
    return text;
}

std::string TraceWriter::real(float value) {
    char text[32];
    std::snprintf(text, sizeof(text), "%.9g", static_cast<double>(value));
    return text;
}

std::string TraceWriter::boolean(BOOL value) {
    return value == TRUE ? "TRUE" : value == FALSE ? "FALSE" : signedNumber(value);
}

std::string TraceWriter::pointer(const void* value) {
    return value == nullptr ? "NULL" : hex(reinterpret_cast<uintptr_t>(value));
}

std::string TraceWriter::color(D3DCOLOR value) {
    char text[16];
    std::snprintf(text, sizeof(text), "0x%08x", value);
    return text;
}

std::string TraceWriter::matrix(const D3DMATRIX* value) {
    if (value == nullptr) {
        return "NULL";
    }
    std::string out = "{";
    for (int row = 0; row < 4; ++row) {
        out += row == 0 ? "{" : ", {";
        for (int column = 0; column < 4; ++column) {
            out += (column == 0 ? "" : ", ") + real(value->m[row][column]);
        }
        out += "}";
    }
    return out + "}";
}

std::string TraceWriter::vector(const D3DVECTOR& v) {
    return "{x = " + real(v.x) + ", y = " + real(v.y) + ", z = " + real(v.z) + "}";
}

std::string TraceWriter::colorValue(const D3DCOLORVALUE& c) {
    return "{r = " + real(c.r) + ", g = " + real(c.g) + ", b = " + real(c.b) +
           ", a = " + real(c.a) + "}";
}

std::string TraceWriter::viewport(const D3DVIEWPORT8* v) {
    if (v == nullptr) {
        return "NULL";
    }
    return "{X = " + number(v->X) + ", Y = " + number(v->Y) + ", Width = " + number(v->Width) +
           ", Height = " + number(v->Height) + ", MinZ = " + real(v->MinZ) +
           ", MaxZ = " + real(v->MaxZ) + "}";
}

std::string TraceWriter::material(const D3DMATERIAL8* m) {
    if (m == nullptr) {
        return "NULL";
    }
    return "{Diffuse = " + colorValue(m->Diffuse) + ", Ambient = " + colorValue(m->Ambient) +
           ", Specular = " + colorValue(m->Specular) + ", Emissive = " + colorValue(m->Emissive) +
           ", Power = " + real(m->Power) + "}";
}

std::string TraceWriter::light(const D3DLIGHT8* l) {
    if (l == nullptr) {
        return "NULL";
    }
    return "{Type = " + lookup(LIGHT_TYPES, l->Type) + ", Diffuse = " + colorValue(l->Diffuse) +
           ", Specular = " + colorValue(l->Specular) + ", Ambient = " + colorValue(l->Ambient) +
           ", Position = " + vector(l->Position) + ", Direction = " + vector(l->Direction) +
           ", Range = " + real(l->Range) + ", Falloff = " + real(l->Falloff) +
           ", Attenuation0 = " + real(l->Attenuation0) +
           ", Attenuation1 = " + real(l->Attenuation1) +
           ", Attenuation2 = " + real(l->Attenuation2) + ", Theta = " + real(l->Theta) +
           ", Phi = " + real(l->Phi) + "}";
}

std::string TraceWriter::presentParameters(const D3DPRESENT_PARAMETERS* p) {
    if (p == nullptr) {
        return "NULL";
    }
    return "{BackBufferWidth = " + number(p->BackBufferWidth) +
           ", BackBufferHeight = " + number(p->BackBufferHeight) +
           ", BackBufferFormat = " + format(p->BackBufferFormat) +
           ", BackBufferCount = " + number(p->BackBufferCount) +
           ", MultiSampleType = " + multiSample(p->MultiSampleType) +
           ", SwapEffect = " + swapEffect(p->SwapEffect) +
           ", hDeviceWindow = " + pointer(p->hDeviceWindow) +
           ", Windowed = " + boolean(p->Windowed) +
           ", EnableAutoDepthStencil = " + boolean(p->EnableAutoDepthStencil) +
           ", AutoDepthStencilFormat = " + format(p->AutoDepthStencilFormat) +
           ", Flags = " + hex(p->Flags) +
           ", FullScreen_RefreshRateInHz = " + number(p->FullScreen_RefreshRateInHz) +
           ", FullScreen_PresentationInterval = " + hex(p->FullScreen_PresentationInterval) + "}";
}

std::string TraceWriter::displayMode(const D3DDISPLAYMODE* m) {
    if (m == nullptr) {
        return "NULL";
    }
    return "{Width = " + number(m->Width) + ", Height = " + number(m->Height) +
           ", RefreshRate = " + number(m->RefreshRate) + ", Format = " + format(m->Format) + "}";
}

std::string TraceWriter::lockedRect(const D3DLOCKED_RECT* value) {
    if (value == nullptr) {
        return "NULL";
    }
    // The address of the bits differs from run to run; the trace says only that there are.
    return "{Pitch = " + signedNumber(value->Pitch) +
           (value->pBits != nullptr ? ", pBits = &bits}" : ", pBits = NULL}");
}

std::string TraceWriter::surfaceDesc(const D3DSURFACE_DESC* d) {
    if (d == nullptr) {
        return "NULL";
    }
    return "{Format = " + format(d->Format) + ", Type = " + resourceType(d->Type) +
           ", Usage = " + usage(d->Usage) + ", Pool = " + pool(d->Pool) +
           ", Size = " + number(d->Size) +
           ", MultiSampleType = " + multiSample(d->MultiSampleType) +
           ", Width = " + number(d->Width) + ", Height = " + number(d->Height) + "}";
}

std::string TraceWriter::rect(const RECT* r) {
    if (r == nullptr) {
        return "NULL";
    }
    return "{left = " + signedNumber(r->left) + ", top = " + signedNumber(r->top) +
           ", right = " + signedNumber(r->right) + ", bottom = " + signedNumber(r->bottom) + "}";
}

std::string TraceWriter::rects(const RECT* r, UINT count) {
    if (r == nullptr) {
        return "NULL";
    }
    std::string out = "[";
    for (UINT i = 0; i < count; ++i) {
        out += (i == 0 ? "" : ", ") + rect(r + i);
    }
    return out + "]";
}

std::string TraceWriter::point(const POINT* p) {
    if (p == nullptr) {
        return "NULL";
    }
    return "{x = " + signedNumber(p->x) + ", y = " + signedNumber(p->y) + "}";
}

std::string TraceWriter::points(const POINT* p, UINT count) {
    if (p == nullptr) {
        return "NULL";
    }
    std::string out = "[";
    for (UINT i = 0; i < count; ++i) {
        out += (i == 0 ? "" : ", ") + point(p + i);
    }
    return out + "]";
}

std::string TraceWriter::d3dRects(const D3DRECT* r, DWORD count) {
    if (r == nullptr) {
        return "NULL";
    }
    std::string out = "[";
    for (DWORD i = 0; i < count; ++i) {
        out += (i == 0 ? "{x1 = " : ", {x1 = ") + signedNumber(r[i].x1) +
               ", y1 = " + signedNumber(r[i].y1) + ", x2 = " + signedNumber(r[i].x2) +
               ", y2 = " + signedNumber(r[i].y2) + "}";
    }
    return out + "]";
}

std::string TraceWriter::result(HRESULT value) {
    for (const Name& entry : RESULTS) {
        if (static_cast<HRESULT>(entry.value) == value) {
            return entry.name;
        }
    }
    return hex(static_cast<uint32_t>(value));
}

std::string TraceWriter::renderState(D3DRENDERSTATETYPE value) {
    return lookup(RENDER_STATES, value);
}

std::string TraceWriter::renderStateValue(D3DRENDERSTATETYPE state, DWORD value) {
    switch (state) {
    case D3DRS_ZENABLE:
        return lookup(ZBUFFERS, value);
    case D3DRS_FILLMODE:
        return lookup(FILLS, value);
    case D3DRS_SHADEMODE:
        return lookup(SHADES, value);
    case D3DRS_SRCBLEND:
    case D3DRS_DESTBLEND:
        return lookup(BLENDS, value);
    case D3DRS_CULLMODE:
        return lookup(CULLS, value);
    case D3DRS_ZFUNC:
    case D3DRS_ALPHAFUNC:
    case D3DRS_STENCILFUNC:
        return lookup(COMPARES, value);
    case D3DRS_STENCILFAIL:
    case D3DRS_STENCILZFAIL:
    case D3DRS_STENCILPASS:
        return lookup(STENCIL_OPS, value);
    case D3DRS_BLENDOP:
        return lookup(BLENDOPS, value);
    case D3DRS_FOGTABLEMODE:
    case D3DRS_FOGVERTEXMODE:
        return lookup(FOGS, value);
    case D3DRS_DIFFUSEMATERIALSOURCE:
    case D3DRS_SPECULARMATERIALSOURCE:
    case D3DRS_AMBIENTMATERIALSOURCE:
    case D3DRS_EMISSIVEMATERIALSOURCE:
        return lookup(SOURCES, value);
    case D3DRS_ZWRITEENABLE:
    case D3DRS_ALPHATESTENABLE:
    case D3DRS_LASTPIXEL:
    case D3DRS_DITHERENABLE:
    case D3DRS_ALPHABLENDENABLE:
    case D3DRS_FOGENABLE:
    case D3DRS_SPECULARENABLE:
    case D3DRS_STENCILENABLE:
    case D3DRS_CLIPPING:
    case D3DRS_LIGHTING:
    case D3DRS_COLORVERTEX:
    case D3DRS_LOCALVIEWER:
    case D3DRS_NORMALIZENORMALS:
    case D3DRS_POINTSPRITEENABLE:
    case D3DRS_POINTSCALEENABLE:
    case D3DRS_RANGEFOGENABLE:
    case D3DRS_MULTISAMPLEANTIALIAS:
    case D3DRS_SOFTWAREVERTEXPROCESSING:
        return boolean(static_cast<BOOL>(value));
    case D3DRS_FOGSTART:
    case D3DRS_FOGEND:
    case D3DRS_FOGDENSITY:
    case D3DRS_POINTSIZE:
    case D3DRS_POINTSIZE_MIN:
    case D3DRS_POINTSIZE_MAX:
    case D3DRS_POINTSCALE_A:
    case D3DRS_POINTSCALE_B:
    case D3DRS_POINTSCALE_C:
    case D3DRS_PATCHSEGMENTS:
    case D3DRS_TWEENFACTOR:
        return real(asFloat(value));
    case D3DRS_FOGCOLOR:
    case D3DRS_TEXTUREFACTOR:
    case D3DRS_AMBIENT:
        return color(value);
    case D3DRS_STENCILMASK:
    case D3DRS_STENCILWRITEMASK:
    case D3DRS_COLORWRITEENABLE:
    case D3DRS_MULTISAMPLEMASK:
        return hex(value);
    default:
        return number(value);
    }
}

std::string TraceWriter::stageState(D3DTEXTURESTAGESTATETYPE value) {
    return lookup(STAGE_STATES, value);
}

std::string TraceWriter::textureArgument(DWORD value) {
    std::string out = lookup(TEXTURE_ARGS, value & D3DTA_SELECTMASK);
    if (value & D3DTA_COMPLEMENT) {
        out += " | D3DTA_COMPLEMENT";
    }
    if (value & D3DTA_ALPHAREPLICATE) {
        out += " | D3DTA_ALPHAREPLICATE";
    }
    DWORD rest = value & ~(D3DTA_SELECTMASK | D3DTA_COMPLEMENT | D3DTA_ALPHAREPLICATE);
    if (rest != 0) {
        out += " | " + hex(rest);
    }
    return out;
}

std::string TraceWriter::stageStateValue(D3DTEXTURESTAGESTATETYPE type, DWORD value) {
    switch (type) {
    case D3DTSS_COLOROP:
    case D3DTSS_ALPHAOP:
        return lookup(TEXTURE_OPS, value);
    case D3DTSS_COLORARG0:
    case D3DTSS_COLORARG1:
    case D3DTSS_COLORARG2:
    case D3DTSS_ALPHAARG0:
    case D3DTSS_ALPHAARG1:
    case D3DTSS_ALPHAARG2:
    case D3DTSS_RESULTARG:
        return textureArgument(value);
    case D3DTSS_ADDRESSU:
    case D3DTSS_ADDRESSV:
    case D3DTSS_ADDRESSW:
        return lookup(ADDRESSES, value);
    case D3DTSS_MAGFILTER:
    case D3DTSS_MINFILTER:
    case D3DTSS_MIPFILTER:
        return lookup(FILTERS, value);
    case D3DTSS_BORDERCOLOR:
        return color(value);
    case D3DTSS_MIPMAPLODBIAS:
    case D3DTSS_BUMPENVMAT00:
    case D3DTSS_BUMPENVMAT01:
    case D3DTSS_BUMPENVMAT10:
    case D3DTSS_BUMPENVMAT11:
    case D3DTSS_BUMPENVLSCALE:
    case D3DTSS_BUMPENVLOFFSET:
        return real(asFloat(value));
    default:
        return number(value);
    }
}

std::string TraceWriter::transform(D3DTRANSFORMSTATETYPE value) {
    static const Name table[] = {
        {2, "D3DTS_VIEW"},      {3, "D3DTS_PROJECTION"}, {16, "D3DTS_TEXTURE0"},
        {17, "D3DTS_TEXTURE1"}, {18, "D3DTS_TEXTURE2"},  {19, "D3DTS_TEXTURE3"},
        {20, "D3DTS_TEXTURE4"}, {21, "D3DTS_TEXTURE5"},  {22, "D3DTS_TEXTURE6"},
        {23, "D3DTS_TEXTURE7"}, {256, "D3DTS_WORLD"},    {257, "D3DTS_WORLD1"},
        {258, "D3DTS_WORLD2"},  {259, "D3DTS_WORLD3"}};
    return lookup(table, value);
}

std::string TraceWriter::primitive(D3DPRIMITIVETYPE value) {
    return lookup(PRIMITIVES, value);
}
std::string TraceWriter::format(D3DFORMAT value) {
    return lookup(FORMATS, value);
}
std::string TraceWriter::pool(D3DPOOL value) {
    return lookup(POOLS, value);
}
std::string TraceWriter::deviceType(D3DDEVTYPE value) {
    return lookup(DEVICE_TYPES, value);
}
std::string TraceWriter::resourceType(D3DRESOURCETYPE value) {
    return lookup(RESOURCE_TYPES, value);
}
std::string TraceWriter::swapEffect(D3DSWAPEFFECT value) {
    return lookup(SWAP_EFFECTS, value);
}
std::string TraceWriter::multiSample(D3DMULTISAMPLE_TYPE value) {
    return value == D3DMULTISAMPLE_NONE ? "D3DMULTISAMPLE_NONE"
                                        : "D3DMULTISAMPLE_" + number(value) + "_SAMPLES";
}
std::string TraceWriter::backBufferType(D3DBACKBUFFER_TYPE value) {
    return lookup(BACK_BUFFER_TYPES, value);
}
std::string TraceWriter::stateBlockType(D3DSTATEBLOCKTYPE value) {
    return lookup(STATE_BLOCK_TYPES, value);
}
std::string TraceWriter::cubeFace(D3DCUBEMAP_FACES value) {
    return lookup(CUBE_FACES, value);
}
std::string TraceWriter::usage(DWORD value) {
    return flags(USAGES, value);
}
std::string TraceWriter::lockFlags(DWORD value) {
    return flags(LOCKS, value);
}
std::string TraceWriter::clearFlags(DWORD value) {
    return flags(CLEARS, value);
}
std::string TraceWriter::createFlags(DWORD value) {
    return flags(CREATES, value);
}

std::string TraceWriter::fvf(DWORD value) {
    if (value == 0) {
        return "0";
    }
    std::string out;
    DWORD position = value & D3DFVF_POSITION_MASK;
    if (position != 0) {
        out = lookup(FVF_POSITIONS, position);
    }
    DWORD rest = value & ~(DWORD)(D3DFVF_POSITION_MASK | D3DFVF_TEXCOUNT_MASK);
    std::string bits = flags(FVF_BITS, rest & 0xFFFF);
    if (bits != "0") {
        out += (out.empty() ? "" : " | ") + bits;
    }
    out += (out.empty() ? "D3DFVF_TEX" : " | D3DFVF_TEX") + number(fvfTexCoordCount(value));
    for (uint32_t i = 0; i < fvfTexCoordCount(value); ++i) {
        uint32_t size = fvfTexCoordSize(value, i);
        if (size != 2) {
            out += " | D3DFVF_TEXCOORDSIZE" + number(size) + "(" + number(i) + ")";
        }
    }
    return out;
}

std::string TraceWriter::vertices(const void* data, UINT count, UINT stride, DWORD format) {
    if (data == nullptr) {
        return "NULL";
    }
    if (fvfVertexSize(format) == 0 || stride < fvfVertexSize(format)) {
        return pointer(data);
    }
    const auto* bytes = static_cast<const uint8_t*>(data);
    auto floatAt = [](const uint8_t* p) {
        float v;
        std::memcpy(&v, p, 4);
        return v;
    };
    auto dwordAt = [](const uint8_t* p) {
        DWORD v;
        std::memcpy(&v, p, 4);
        return v;
    };
    std::string out = "[";
    for (UINT i = 0; i < count; ++i) {
        const uint8_t* v = bytes + static_cast<size_t>(i) * stride;
        std::string vertex = "{";
        uint32_t floats = fvfPositionFloats(format);
        for (uint32_t k = 0; k < floats; ++k) {
            vertex += (k == 0 ? "" : ", ") + real(floatAt(v));
            v += 4;
        }
        if (format & D3DFVF_NORMAL) {
            for (int k = 0; k < 3; ++k, v += 4) {
                vertex += ", " + real(floatAt(v));
            }
        }
        if (format & D3DFVF_PSIZE) {
            vertex += ", " + real(floatAt(v));
            v += 4;
        }
        if (format & D3DFVF_DIFFUSE) {
            vertex += ", " + color(dwordAt(v));
            v += 4;
        }
        if (format & D3DFVF_SPECULAR) {
            vertex += ", " + color(dwordAt(v));
            v += 4;
        }
        for (uint32_t t = 0; t < fvfTexCoordCount(format); ++t) {
            for (uint32_t k = 0; k < fvfTexCoordSize(format, t); ++k, v += 4) {
                vertex += ", " + real(floatAt(v));
            }
        }
        out += (i == 0 ? "" : ", ") + vertex + "}";
    }
    return out + "]";
}

std::string TraceWriter::indices(const void* data, UINT count, D3DFORMAT format) {
    if (data == nullptr) {
        return "NULL";
    }
    std::string out = "[";
    for (UINT i = 0; i < count; ++i) {
        uint32_t index = format == D3DFMT_INDEX32 ? static_cast<const uint32_t*>(data)[i]
                                                  : static_cast<const uint16_t*>(data)[i];
        out += (i == 0 ? "" : ", ") + number(index);
    }
    return out + "]";
}
