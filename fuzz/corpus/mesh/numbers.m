Vertex 0 0.1 3e-2 -1.5E+1
Vertex 1 +.5 1e 2
Vertex 1.5 2 3 4
Vertex 3 2 abc 4
Vertex x 1 2 3
Vertex 5 1e60 0x1p3 inf
Vertex 6 nan -0 5e-50
Face 0 0 1 2 {rgb=(0.25 1 2)matid=3}
Face 1 3 4 5 {rgb=( 1 2 3 ) matid=4
