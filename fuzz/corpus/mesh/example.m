# hull, rear part
Vertex 1 0.5 -1.25 2
Vertex 17 0 0 0
Vertex 3 1 0 0
Vertex 4 0 1 0
Face 1 1 2 3
Face 2 2 3 4{rgb=(0.8 0.2 0.2) matid=1}
Face 3 1 2 4
Face 4 1 3 4 4 {rgb=(0 0 1) matid=1}
