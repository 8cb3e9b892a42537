
  	Vertex 0 0 0 0
	Vertex 	1	2 0 0 
Vertex 2 0 3 0
Face 0	0 1 2
# end
