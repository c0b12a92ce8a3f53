// The mesh object: a vertex buffer, an index buffer of three indices per face
// and one attribute (subset number) per face, drawn subset by subset.
#pragma once

#include <ComObject.h>
#include <vector>

#include <d3dx8mesh.h>

class Mesh : public ComObject<ID3DXMesh> {
public:
    // D3DXCreateMeshFVF after its argument checks.
    static HRESULT create(DWORD faces, DWORD vertices, DWORD options, DWORD fvf,
                          IDirect3DDevice8* device, Mesh** out);
    // Hands a built mesh and its adjacency (null when not asked for) to the caller; when hr
    // says the build failed, releases both instead and answers hr.
    static HRESULT handOut(HRESULT hr, ID3DXMesh* mesh, ID3DXBuffer* adjacency, LPD3DXMESH* meshOut,
                           LPD3DXBUFFER* adjacencyOut);

    HRESULT QueryInterface(REFIID riid, void** object) override;

    HRESULT DrawSubset(DWORD AttribId) override;
    DWORD GetNumFaces() override;
    DWORD GetNumVertices() override;
    DWORD GetFVF() override;
    HRESULT GetDeclaration(DWORD Declaration[MAX_FVF_DECL_SIZE]) override;
    DWORD GetOptions() override;
    HRESULT GetDevice(LPDIRECT3DDEVICE8* ppDevice) override;
    HRESULT CloneMeshFVF(DWORD Options, DWORD FVF, LPDIRECT3DDEVICE8 pD3DDevice,
                         LPD3DXMESH* ppCloneMesh) override;
    HRESULT CloneMesh(DWORD Options, CONST DWORD* pDeclaration, LPDIRECT3DDEVICE8 pD3DDevice,
                      LPD3DXMESH* ppCloneMesh) override;
    HRESULT GetVertexBuffer(LPDIRECT3DVERTEXBUFFER8* ppVB) override;
    HRESULT GetIndexBuffer(LPDIRECT3DINDEXBUFFER8* ppIB) override;
    HRESULT LockVertexBuffer(DWORD Flags, BYTE** ppData) override;
    HRESULT UnlockVertexBuffer() override;
    HRESULT LockIndexBuffer(DWORD Flags, BYTE** ppData) override;
    HRESULT UnlockIndexBuffer() override;
    HRESULT GetAttributeTable(D3DXATTRIBUTERANGE* pAttribTable, DWORD* pAttribTableSize) override;
    HRESULT ConvertPointRepsToAdjacency(CONST DWORD* pPRep, DWORD* pAdjacency) override;
    HRESULT ConvertAdjacencyToPointReps(CONST DWORD* pAdjacency, DWORD* pPRep) override;
    HRESULT GenerateAdjacency(FLOAT fEpsilon, DWORD* pAdjacency) override;

    HRESULT LockAttributeBuffer(DWORD Flags, DWORD** ppData) override;
    HRESULT UnlockAttributeBuffer() override;
    HRESULT Optimize(DWORD Flags, CONST DWORD* pAdjacencyIn, DWORD* pAdjacencyOut,
                     DWORD* pFaceRemap, LPD3DXBUFFER* ppVertexRemap,
                     LPD3DXMESH* ppOptMesh) override;
    HRESULT OptimizeInplace(DWORD Flags, CONST DWORD* pAdjacencyIn, DWORD* pAdjacencyOut,
                            DWORD* pFaceRemap, LPD3DXBUFFER* ppVertexRemap) override;

private:
    friend class ComObject<ID3DXMesh>;
    Mesh() = default;
    ~Mesh() override;

    // The three indices of every face, read from the index buffer.
    HRESULT readIndices(std::vector<DWORD>& out);

    IDirect3DDevice8* device = nullptr;
    DWORD fvf = 0;
    DWORD options = 0;
    DWORD stride = 0;
    DWORD vertexCount = 0;
    DWORD faceCount = 0;
    IDirect3DVertexBuffer8* vertexBuffer = nullptr;
    IDirect3DIndexBuffer8* indexBuffer = nullptr;
    std::vector<DWORD> attributes;
    std::vector<D3DXATTRIBUTERANGE> attributeTable; // empty until sorted by attribute
};
